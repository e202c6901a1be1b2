#pragma once

#include <wx/string.h>

#include "2_crypto/ByteString.h"

// Which cipher wrote an encrypted file; stored in the file's trailer.
enum class FileAlgorithm : unsigned char { Aes = 0, Des3 = 1 };

// Every encrypted file ends with these 16 bytes: the file marker and the
// algorithm byte, enciphered with the file's key. They let decryption tell a
// wrong password or a file of the other algorithm before writing anything.
constexpr std::size_t kTrailerSize = 16;

ByteString MakeTrailer(const wxString& keyText, FileAlgorithm algorithm);

// True when `stored`, the last 16 bytes of a file, is a trailer made with
// this key and algorithm.
bool IsTrailer(const wxString& keyText, const ByteString& stored, FileAlgorithm algorithm);

// How many bytes after a trailer still count as a file of ours: a line end
// or a few stray bytes that something appended to a ciphertext.
constexpr std::size_t kTrailerSlack = 64;

// True when `tail`, the end of a file, holds a trailer made with this key and
// algorithm at its very end or followed by at most kTrailerSlack bytes.
bool TrailerNearEnd(const wxString& keyText, const ByteString& tail, FileAlgorithm algorithm);

// True when the last 16 bytes of the file at `path` are a trailer made with
// this key and algorithm. A file that cannot be read or is shorter than a
// trailer fails the check.
bool CheckTrailer(const wxString& keyText, const wxString& path, FileAlgorithm algorithm);

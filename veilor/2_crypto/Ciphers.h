#pragma once

#include <memory>

#include <cryptopp/cryptlib.h>
#include <wx/string.h>

#include "2_crypto/ByteString.h"

// The file ciphers, built from key text (32 hex digits = 16 bytes). Every call
// builds a fresh object, so every file starts its key stream or chain anew.
// A key text that does not decode to 16 bytes raises CKeysException with the
// cipher's key-length message.

// AES-128 in counter mode starting at the key table's file counter block;
// the same object encrypts and decrypts.
std::unique_ptr<CryptoPP::SymmetricCipher> MakeAesCipher(const wxString& keyText);

// AES-128 in counter mode starting at the given 16-byte counter block.
std::unique_ptr<CryptoPP::SymmetricCipher> MakeAesCipher(const wxString& keyText,
                                                         const ByteString& counterBlock);

// Two-key Triple-DES (K1 = bytes 0-7, K2 = bytes 8-15) in CBC mode with the
// key table's file IV.
std::unique_ptr<CryptoPP::SymmetricCipher> MakeDes3Encryptor(const wxString& keyText);
std::unique_ptr<CryptoPP::SymmetricCipher> MakeDes3Decryptor(const wxString& keyText);

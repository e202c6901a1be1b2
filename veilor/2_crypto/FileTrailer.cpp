#include "2_crypto/FileTrailer.h"

#include <wx/file.h>
#include <wx/log.h>

#include "2_crypto/Ciphers.h"
#include "2_crypto/Keys.h"

namespace {
// The trailer's key stream starts at its own counter block, far from the one
// that enciphers the data: were they the same, the trailer's known plain
// text would give away the first 16 bytes of every file.
ByteString Encipher(const wxString& keyText, const ByteString& block) {
  ByteString result(block.size(), '\0');
  auto cipher = MakeAesCipher(keyText, CKeys::Instance().Get(CKeys::TrailerCounter));
  cipher->ProcessData(reinterpret_cast<CryptoPP::byte*>(result.data()),
                      reinterpret_cast<const CryptoPP::byte*>(block.data()), block.size());
  return result;
}
}  // namespace

ByteString MakeTrailer(const wxString& keyText, FileAlgorithm algorithm) {
  ByteString plain = CKeys::Instance().Get(CKeys::FileMarker);
  plain.push_back(static_cast<char>(algorithm));
  plain.resize(kTrailerSize, '\0');
  return Encipher(keyText, plain);
}

bool CheckTrailer(const wxString& keyText, const wxString& path, FileAlgorithm algorithm) {
  wxLogNull quiet;  // an unreadable file is a failed check, not a log entry
  wxFile file;
  if (!file.Open(path, wxFile::read)) return false;
  const wxFileOffset length = file.Length();
  if (length < static_cast<wxFileOffset>(kTrailerSize)) return false;
  if (file.Seek(length - kTrailerSize) == wxInvalidOffset) return false;
  ByteString stored(kTrailerSize, '\0');
  if (file.Read(stored.data(), kTrailerSize) != static_cast<ssize_t>(kTrailerSize)) return false;
  return IsTrailer(keyText, stored, algorithm);
}

bool IsTrailer(const wxString& keyText, const ByteString& stored, FileAlgorithm algorithm) {
  if (stored.size() != kTrailerSize) return false;
  const ByteString plain = Encipher(keyText, stored);
  const ByteString marker = CKeys::Instance().Get(CKeys::FileMarker);
  return plain.compare(0, marker.size(), marker) == 0 &&
         plain[marker.size()] == static_cast<char>(algorithm);
}

bool TrailerNearEnd(const wxString& keyText, const ByteString& tail, FileAlgorithm algorithm) {
  // Counter mode: a stored trailer is recognised by its enciphered marker
  // and algorithm byte, the bytes IsTrailer checks.
  const std::size_t significant = CKeys::Instance().Get(CKeys::FileMarker).size() + 1;
  const ByteString expected = MakeTrailer(keyText, algorithm).substr(0, significant);
  for (std::size_t end = tail.size(); end >= kTrailerSize && tail.size() - end <= kTrailerSlack;
       --end) {
    if (tail.compare(end - kTrailerSize, significant, expected) == 0) return true;
  }
  return false;
}

#include "2_crypto/PasswordKey.h"

#include <optional>

#include "2_crypto/ByteString.h"
#include "2_crypto/HexText.h"

#ifdef __WINDOWS__
#include "2_crypto/AnsiText.h"
#else
#include "2_crypto/Windows1252.h"
#endif

namespace {

std::optional<ByteString> KeyCodePageBytes(const wxString& password) {
#ifdef __WINDOWS__
  return ToAnsiBytes(password);
#else
  return ToWindows1252(password);
#endif
}

}  // namespace

PasswordKey KeyFromPassword(const wxString& password, std::size_t maxBytes) {
  std::optional<ByteString> bytes = KeyCodePageBytes(password);
  if (!bytes) return {PasswordKeyVerdict::NotRepresentable, wxString()};
  // Counted in bytes: a double-byte character takes two of the key's bytes.
  if (bytes->size() > maxBytes) return {PasswordKeyVerdict::TooLong, wxString()};
  bytes->append(maxBytes - bytes->size(), '\x02');
  return {PasswordKeyVerdict::Made, ToHex(*bytes)};
}

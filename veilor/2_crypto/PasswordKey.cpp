#include "2_crypto/PasswordKey.h"

#include <optional>

#include "2_crypto/ByteString.h"
#include "2_crypto/HexText.h"
#include "2_crypto/KeyCodePage.h"

PasswordKey KeyFromPassword(const wxString& password, std::size_t maxBytes) {
  std::optional<ByteString> bytes = ToKeyCodePage(password);
  if (!bytes) return {PasswordKeyVerdict::NotRepresentable, wxString()};
  // Counted in bytes: a double-byte character takes two of the key's bytes.
  if (bytes->size() > maxBytes) return {PasswordKeyVerdict::TooLong, wxString()};
  bytes->append(maxBytes - bytes->size(), '\x02');
  return {PasswordKeyVerdict::Made, ToHex(*bytes)};
}

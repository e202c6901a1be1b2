#include "2_crypto/ProtectedString.h"

#include <algorithm>

#include <cryptopp/aes.h>
#include <cryptopp/modes.h>

#include "1_base/AsciiText.h"
#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/HexText.h"
#include "2_crypto/KeyCodePage.h"
#include "2_crypto/Keys.h"

namespace {

constexpr std::size_t kFillerPairs = 64;
const wxUniChar kMarker(0x01);

// Every protected string is enciphered from the same counter, so all share
// one key stream: made once and XORed in, where building the cipher per
// string would cost more than the rest of decoding one. It covers the 128
// characters in any single- or double-byte code page; longer bytes (text in
// UTF-8, hand-edited files) get a stream of their own.
constexpr std::size_t kSharedStreamBytes = 256;

ByteString KeyStream(std::size_t length) {
  const CKeys& keys = CKeys::Instance();
  const ByteString key = keys.Get(CKeys::ProtectKey);
  const ByteString iv = keys.Get(CKeys::ProtectIv);
  CryptoPP::CTR_Mode<CryptoPP::AES>::Encryption cipher(
      reinterpret_cast<const CryptoPP::byte*>(key.data()), key.size(),
      reinterpret_cast<const CryptoPP::byte*>(iv.data()));
  ByteString stream(length, '\0');
  auto* data = reinterpret_cast<CryptoPP::byte*>(stream.data());
  cipher.ProcessData(data, data, stream.size());
  return stream;
}

ByteString ApplyProtectionCipher(ByteString bytes) {
  static const ByteString shared = KeyStream(kSharedStreamBytes);
  const ByteString own = bytes.size() > shared.size() ? KeyStream(bytes.size()) : ByteString();
  const ByteString& stream = own.empty() ? shared : own;
  char* data = bytes.data();
  const char* key = stream.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) data[i] = static_cast<char>(data[i] ^ key[i]);
  return bytes;
}

bool IsFillerDigit(wxUniChar c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The text a deciphered value stands for, when it has the form ProtectString
// gives: the text, its markers and a filler that runs up by 10 to exactly
// 128 characters, or a long text alone. Anything else is damage.
std::optional<wxString> Unframe(const wxString& padded) {
  const std::size_t marker = padded.find(kMarker);
  if (marker == wxString::npos) {
    if (padded.length() < kFillerPairs + 1 || padded.length() > kMaxProtectedChars) {
      return std::nullopt;
    }
    return padded;
  }
  const std::size_t last = padded.find_last_of(kMarker);
  const std::size_t filler = last + 1;
  const std::size_t padding = 2 * kFillerPairs;
  if (padded.length() != padding || filler >= padding || (padding - filler) % 2 != 0) {
    return std::nullopt;
  }
  unsigned long previous = 0;
  for (std::size_t at = filler; at < padding; at += 2) {
    if (!IsFillerDigit(padded[at]) || !IsFillerDigit(padded[at + 1])) return std::nullopt;
    unsigned long value = 0;
    padded.Mid(at, 2).ToULong(&value, 16);
    if (at != filler && value != (previous + 10) % 256) return std::nullopt;
    previous = value;
  }
  return padded.Left(marker);
}

}  // namespace

wxString ProtectString(const wxString& text, int filler) {
  const std::size_t length = text.length();
  const std::size_t markers = (length % 2 == 1) ? 1 : 2;
  // Marker and text must leave room in the 128 characters: 125 at most.
  if (length > kMaxProtectedChars) {
    throw CSettingsException(Msg(msg::StringTooLong));
  }

  wxString padded = text;
  if (length < markers + kFillerPairs) {
    padded.append(markers, kMarker);
    const std::size_t pairs = kFillerPairs - padded.length() / 2;
    unsigned value = static_cast<unsigned>(filler * 100) % 256;
    for (std::size_t i = 0; i < pairs; ++i) {
      padded += wxString::Format("%.2X", value);
      value = (value + 10) % 256;
    }
  }

  auto bytes = ToKeyCodePage(padded);
  if (!bytes) throw CSettingsException(Msg(msg::TextNotRepresentable));
  bytes->resize(std::min(bytes->size(), bytes->find('\0')));
  return ToHex(ApplyProtectionCipher(std::move(*bytes)));
}

bool CanProtectString(const wxString& text) { return ToKeyCodePage(text).has_value(); }

std::optional<wxString> ReadProtectedString(const wxString& protectedText) {
  const ByteString bytes = ApplyProtectionCipher(FromHex(protectedText));
  // Nothing stored, as an unset default password name is.
  if (bytes.empty()) return wxString();
  if (bytes.find('\0') != ByteString::npos) return std::nullopt;
  // Earlier builds for Linux wrote the locale's encoding, UTF-8, padded by
  // characters: such a value with a letter beyond ASCII has more bytes than
  // characters, where one in a single-byte code page has as many. A value
  // that fits both readings is taken as UTF-8 only when it has ProtectString's
  // form that way, which a padded single-byte value (128 bytes) never has.
  if (!IsPlainAscii(bytes)) {
    const wxString utf8 = wxString::FromUTF8(bytes.data(), bytes.size());
    if (!utf8.empty()) {
      if (std::optional<wxString> text = Unframe(utf8)) return text;
    }
  }
  return Unframe(FromKeyCodePage(bytes));
}

wxString UnprotectString(const wxString& protectedText) {
  std::optional<wxString> text = ReadProtectedString(protectedText);
  if (!text) throw CSettingsException(Msg(msg::ProtectedTextUnreadable));
  return *text;
}

#include "2_crypto/ProtectedString.h"

#include <algorithm>

#include <cryptopp/aes.h>
#include <cryptopp/modes.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/AnsiText.h"
#include "2_crypto/HexText.h"
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

  auto bytes = ToAnsiBytes(padded);
  if (!bytes) throw CSettingsException(Msg(msg::TextNotRepresentable));
  bytes->resize(std::min(bytes->size(), bytes->find('\0')));
  return ToHex(ApplyProtectionCipher(std::move(*bytes)));
}

wxString UnprotectString(const wxString& protectedText) {
  wxString text = FromAnsiBytes(ApplyProtectionCipher(FromHex(protectedText)));
  const std::size_t marker = text.find(kMarker);
  if (marker != wxString::npos) text.Truncate(marker);
  return text;
}

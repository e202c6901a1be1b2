#include "2_crypto/HexText.h"

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>

wxString ToHex(const ByteString& bytes) {
  std::string hex;
  CryptoPP::StringSource source(bytes, true,
                                new CryptoPP::HexEncoder(new CryptoPP::StringSink(hex), true));
  return wxString::FromAscii(hex.c_str());
}

ByteString FromHex(const wxString& text) {
  // By hand rather than through the library's filter chain, which costs more
  // than the rest of decoding a protected string: thousands are decoded when
  // a long password list loads. Same rules: other characters are skipped and
  // an odd last digit is dropped.
  ByteString bytes;
  bytes.reserve(text.length() / 2);
  int high = -1;
  for (const wxUniChar c : text) {
    const wxUint32 code = c.GetValue();
    int digit = -1;
    if (code >= '0' && code <= '9') digit = static_cast<int>(code - '0');
    if (code >= 'A' && code <= 'F') digit = static_cast<int>(code - 'A' + 10);
    if (code >= 'a' && code <= 'f') digit = static_cast<int>(code - 'a' + 10);
    if (digit < 0) continue;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<char>(high * 16 + digit));
      high = -1;
    }
  }
  return bytes;
}

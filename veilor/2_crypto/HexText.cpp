#include "2_crypto/HexText.h"

#include <array>

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
  static constexpr auto kDigits = [] {
    std::array<signed char, 128> digits{};
    digits.fill(-1);
    for (int i = 0; i < 10; ++i) digits['0' + i] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i) {
      digits['A' + i] = static_cast<signed char>(10 + i);
      digits['a' + i] = static_cast<signed char>(10 + i);
    }
    return digits;
  }();
  ByteString bytes(text.length() / 2, '\0');
  std::size_t filled = 0;
  int high = -1;
  const wxStringCharType* const begin = text.wx_str();
  const auto digitOf = [](wxStringCharType c) {
    const auto code = static_cast<wxUint32>(c);
    return code < kDigits.size() ? kDigits[code] : -1;
  };
  const wxStringCharType* const end = begin + text.length();
  for (const wxStringCharType* it = begin; it != end; ++it) {
    // Two digits in a row, the usual case, make a byte at once.
    if (high < 0 && it + 1 != end) {
      const int first = digitOf(it[0]);
      const int second = digitOf(it[1]);
      if (first >= 0 && second >= 0) {
        bytes[filled++] = static_cast<char>(first * 16 + second);
        ++it;
        continue;
      }
    }
    const int digit = digitOf(*it);
    if (digit < 0) continue;
    if (high < 0) {
      high = digit;
    } else {
      bytes[filled++] = static_cast<char>(high * 16 + digit);
      high = -1;
    }
  }
  bytes.resize(filled);
  return bytes;
}

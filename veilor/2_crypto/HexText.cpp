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
  const wxScopedCharBuffer ascii = text.utf8_str();
  ByteString bytes;
  CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(ascii.data()),
                                ascii.length(), true,
                                new CryptoPP::HexDecoder(new CryptoPP::StringSink(bytes)));
  return bytes;
}

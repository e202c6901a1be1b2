#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text encodings of age: unpadded canonical base64 and Bech32.
namespace age {

// Standard base64 without "=" padding.
std::string EncodeBase64(std::string_view bytes);
// Strict: only the standard alphabet, no padding, and canonical (the unused
// low bits of the last character zero); nothing on anything else.
std::optional<std::string> DecodeBase64(std::string_view text);

// Bech32 (no length limit). The text must be all lower or all upper case;
// the part before the last "1" comes back in lower case.
struct Bech32 {
  std::string hrp;
  std::string data;  // bytes
};
std::string EncodeBech32(std::string_view hrp, std::string_view bytes);
std::optional<Bech32> DecodeBech32(std::string_view text);

}  // namespace age

#include "1_age/AgeEncoding.h"

#include <cstdint>
#include <vector>

namespace age {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kBech32[] = "qpzry9x8gf2tvdw0s3jn54khce6mua7l";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::uint32_t Polymod(const std::vector<std::uint8_t>& values) {
  static constexpr std::uint32_t kGenerator[] = {0x3b6a57b2, 0x26508e6d, 0x1ea119fa, 0x3d4233dd,
                                                 0x2a1462b3};
  std::uint32_t check = 1;
  for (std::uint8_t value : values) {
    std::uint32_t top = check >> 25;
    check = ((check & 0x1ffffff) << 5) ^ value;
    for (int i = 0; i < 5; ++i) {
      if ((top >> i) & 1) check ^= kGenerator[i];
    }
  }
  return check;
}

std::vector<std::uint8_t> ExpandHrp(std::string_view hrp) {
  std::vector<std::uint8_t> out;
  for (char c : hrp) out.push_back(static_cast<std::uint8_t>(c) >> 5);
  out.push_back(0);
  for (char c : hrp) out.push_back(static_cast<std::uint8_t>(c) & 31);
  return out;
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() * 4 + 2) / 3);
  std::uint32_t bits = 0;
  int count = 0;
  for (unsigned char byte : bytes) {
    bits = (bits << 8) | byte;
    count += 8;
    while (count >= 6) {
      count -= 6;
      out.push_back(kBase64[(bits >> count) & 63]);
    }
  }
  if (count > 0) out.push_back(kBase64[(bits << (6 - count)) & 63]);
  return out;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  if (text.size() % 4 == 1) return std::nullopt;
  std::string out;
  out.reserve(text.size() * 3 / 4);
  std::uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    int value = Base64Value(c);
    if (value < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  // The bits left over must be zero, or another text decodes to the same bytes.
  if ((bits & ((1u << count) - 1)) != 0) return std::nullopt;
  return out;
}

std::string EncodeBech32(std::string_view hrp, std::string_view bytes) {
  std::vector<std::uint8_t> data;
  std::uint32_t bits = 0;
  int count = 0;
  for (unsigned char byte : bytes) {
    bits = (bits << 8) | byte;
    count += 8;
    while (count >= 5) {
      count -= 5;
      data.push_back((bits >> count) & 31);
    }
  }
  if (count > 0) data.push_back((bits << (5 - count)) & 31);
  std::vector<std::uint8_t> values = ExpandHrp(hrp);
  values.insert(values.end(), data.begin(), data.end());
  values.insert(values.end(), 6, 0);
  std::uint32_t mod = Polymod(values) ^ 1;
  for (int i = 0; i < 6; ++i) data.push_back((mod >> (5 * (5 - i))) & 31);
  std::string out(hrp);
  out.push_back('1');
  for (std::uint8_t value : data) out.push_back(kBech32[value]);
  return out;
}

std::optional<Bech32> DecodeBech32(std::string_view text) {
  bool lower = false;
  bool upper = false;
  std::string folded;
  for (char c : text) {
    if (c < 33 || c > 126) return std::nullopt;
    if (c >= 'a' && c <= 'z') lower = true;
    if (c >= 'A' && c <= 'Z') {
      upper = true;
      c = static_cast<char>(c - 'A' + 'a');
    }
    folded.push_back(c);
  }
  if (lower && upper) return std::nullopt;
  std::size_t separator = folded.rfind('1');
  if (separator == std::string::npos || separator == 0 || separator + 7 > folded.size()) {
    return std::nullopt;
  }
  std::string_view hrp(folded.data(), separator);
  std::vector<std::uint8_t> values = ExpandHrp(hrp);
  std::vector<std::uint8_t> data;
  for (std::size_t i = separator + 1; i < folded.size(); ++i) {
    const char* found = std::char_traits<char>::find(kBech32, 32, folded[i]);
    if (found == nullptr) return std::nullopt;
    data.push_back(static_cast<std::uint8_t>(found - kBech32));
  }
  values.insert(values.end(), data.begin(), data.end());
  if (Polymod(values) != 1) return std::nullopt;
  data.resize(data.size() - 6);
  Bech32 out{std::string(hrp), {}};
  std::uint32_t bits = 0;
  int count = 0;
  for (std::uint8_t value : data) {
    bits = (bits << 5) | value;
    count += 5;
    if (count >= 8) {
      count -= 8;
      out.data.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  // At most four bits of padding, all zero.
  if (count >= 5 || (bits & ((1u << count) - 1)) != 0) return std::nullopt;
  return out;
}

}  // namespace age

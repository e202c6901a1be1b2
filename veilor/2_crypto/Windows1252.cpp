#include "2_crypto/Windows1252.h"

#include <array>
#include <string>

namespace {

// Bytes 0x80 to 0x9F. The five bytes the code page leaves unassigned stand
// for the control characters of the same number, as Windows converts them.
constexpr std::array<wchar_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> ByteFor(wxUniChar::value_type code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (static_cast<wxUniChar::value_type>(kHighControls[i]) == code) {
      return static_cast<char>(0x80 + i);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<ByteString> ToWindows1252(const wxString& text) {
  ByteString bytes;
  bytes.reserve(text.length());
  for (const wxUniChar character : text) {
    const std::optional<char> byte = ByteFor(character.GetValue());
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
  }
  return bytes;
}

wxString FromWindows1252(const ByteString& bytes) {
  std::wstring wide;
  wide.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    wide.push_back(code >= 0x80 && code < 0xA0 ? kHighControls[code - 0x80]
                                               : static_cast<wchar_t>(code));
  }
  return wxString(wide);
}

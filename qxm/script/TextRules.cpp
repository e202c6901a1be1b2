#include "TextRules.h"

#include <cwchar>

#ifdef _WIN32
#include <windows.h>
#endif

TextRules::TextRules() : length_([](const char*, std::size_t) -> std::size_t { return 1; }) {}

TextRules TextRules::Platform() {
#ifdef _WIN32
  return DoubleByte([](unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; });
#else
  return TextRules([](const char* text, std::size_t available) -> std::size_t {
    std::mbstate_t state{};
    const std::size_t length = std::mbrlen(text, available, &state);
    // Invalid, incomplete and NUL characters are taken byte by byte.
    if (length == 0 || length == static_cast<std::size_t>(-1) ||
        length == static_cast<std::size_t>(-2)) {
      return 1;
    }
    return length;
  });
#endif
}

TextRules TextRules::DoubleByte(LeadByteTest isLeadByte) {
  return TextRules(
      [isLeadByte = std::move(isLeadByte)](const char* text, std::size_t available) -> std::size_t {
        // A lead byte at the very end has no trail byte to pair with.
        return (available >= 2 && isLeadByte(static_cast<unsigned char>(text[0]))) ? 2 : 1;
      });
}

std::size_t TextRules::CharLength(std::string_view text, std::size_t pos) const {
  if (pos >= text.size()) return 1;
  const std::size_t available = text.size() - pos;
  const std::size_t length = length_(text.data() + pos, available);
  if (length == 0) return 1;
  return length < available ? length : available;
}

#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

// How many bytes each character of a script's 8-bit text takes. Scripts are in
// the system's ANSI code page, which may be a double-byte one whose trail bytes
// include ASCII values such as the backslash: scanning must step over whole
// characters so that a trail byte is never taken for a delimiter.
class TextRules {
public:
  using LeadByteTest = std::function<bool(unsigned char)>;

  // Every byte is a character of its own.
  TextRules();

  // Windows: the lead bytes of the ANSI code page. Elsewhere: the C library's
  // multibyte rules for the current locale (UTF-8 never hides an ASCII byte
  // inside a longer character).
  static TextRules Platform();
  // A double-byte code page described by its lead bytes.
  static TextRules DoubleByte(LeadByteTest isLeadByte);

  // Length of the character that starts at pos: at least 1, never past the end.
  std::size_t CharLength(std::string_view text, std::size_t pos) const;

private:
  using LengthFn = std::function<std::size_t(const char* text, std::size_t available)>;
  explicit TextRules(LengthFn length) : length_(std::move(length)) {}

  LengthFn length_;
};

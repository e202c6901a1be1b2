#include "ScriptText.h"

#include <cstdint>
#include <limits>

bool IsScriptSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimSpace(std::string_view text, const TextRules& rules) {
  std::size_t pos = 0;
  while (pos < text.size() && IsScriptSpace(text[pos])) ++pos;
  const std::size_t begin = pos;
  std::size_t end = begin;
  // White space is single-byte, so only whole characters decide where the text ends.
  while (pos < text.size()) {
    const std::size_t length = rules.CharLength(text, pos);
    if (length > 1 || !IsScriptSpace(text[pos])) end = pos + length;
    pos += length;
  }
  return std::string(text.substr(begin, end - begin));
}

std::size_t FindText(std::string_view text, std::string_view needle, const TextRules& rules,
                     std::size_t from) {
  if (needle.empty()) return std::string_view::npos;
  for (std::size_t pos = from; pos < text.size(); pos += rules.CharLength(text, pos)) {
    if (text.compare(pos, needle.size(), needle) == 0) return pos;
  }
  return std::string_view::npos;
}

std::size_t FindLastChar(std::string_view text, char c, const TextRules& rules) {
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < text.size(); pos += rules.CharLength(text, pos)) {
    if (text[pos] == c && rules.CharLength(text, pos) == 1) found = pos;
  }
  return found;
}

std::string ReplaceAll(std::string_view text, std::string_view needle, std::string_view replacement,
                       const TextRules& rules) {
  std::string result;
  std::size_t copied = 0;
  for (std::size_t found = FindText(text, needle, rules); found != std::string_view::npos;
       found = FindText(text, needle, rules, copied)) {
    result.append(text.substr(copied, found - copied));
    result.append(replacement);
    copied = found + needle.size();
  }
  result.append(text.substr(copied));
  return result;
}

std::int32_t DecimalValue(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsScriptSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > kLimit) value = kLimit;  // keeps the digits that follow from overflowing
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(value);
}

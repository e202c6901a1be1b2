#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "TextRules.h"

// Multibyte-aware string helpers of the script language. Matches are found
// only at character boundaries, and comparisons are exact and case-sensitive.

// Space, tab, CR, LF, vertical tab and form feed.
bool IsScriptSpace(char c);

std::string TrimSpace(std::string_view text, const TextRules& rules);

// Position of the first occurrence of needle at or after from (a character
// boundary), or npos.
std::size_t FindText(std::string_view text, std::string_view needle, const TextRules& rules,
                     std::size_t from = 0);

// Position of the last occurrence of the single-byte character c, or npos.
std::size_t FindLastChar(std::string_view text, char c, const TextRules& rules);

// Every occurrence replaced in one pass from the left: inserted text is never
// searched again, so a replacement that contains the needle cannot loop.
std::string ReplaceAll(std::string_view text, std::string_view needle, std::string_view replacement,
                       const TextRules& rules);

// The decimal integer at the start of text: leading white space and a sign are
// allowed, reading stops at the first non-digit, no digits give 0. Values out of
// range are clamped to the nearest 32-bit limit.
std::int32_t DecimalValue(std::string_view text);

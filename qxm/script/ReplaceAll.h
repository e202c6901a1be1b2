#pragma once

#include <string>
#include <string_view>
#include <type_traits>

// Replaces every occurrence of token in text by value, left to right; what a
// replacement put in is not searched again. The one fill of a template, be it
// the registry entries' placeholders or the shipped script's paths.
template <typename Char>
std::basic_string<Char> ReplaceAll(std::basic_string<Char> text,
                                   std::type_identity_t<std::basic_string_view<Char>> token,
                                   std::type_identity_t<std::basic_string_view<Char>> value) {
  if (token.empty()) return text;
  for (std::size_t at = text.find(token); at != std::basic_string<Char>::npos;
       at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

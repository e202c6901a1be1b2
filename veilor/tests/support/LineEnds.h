#pragma once

#include <string>

// Text files the program writes (settings, logs) end their lines the way
// this platform's editors expect.
#ifdef _WIN32
inline const std::string kLineEnd = "\r\n";
#else
inline const std::string kLineEnd = "\n";
#endif

// The text with every "\n" written as this platform's line end.
inline std::string WithLineEnds(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') {
      out += kLineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

#pragma once

#include <string>

// A word for the POSIX shell: in single quotes, inside which nothing is
// special; a single quote itself is closed, escaped and reopened.
inline std::string ShellQuote(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

#pragma once

#include <string>

// A value in a key file (desktop entries, Nemo's actions): a backslash and the
// control characters are written as escapes, and so is a leading blank, which
// a reader would trim.
inline std::string KeyFileValue(const std::string& value) {
  std::string escaped;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      case ' ': escaped += i == 0 ? "\\s" : " "; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// An element of a key file's list value, whose separator is ';'.
inline std::string KeyFileListItem(const std::string& value) {
  std::string escaped;
  for (const char c : KeyFileValue(value)) {
    if (c == ';') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

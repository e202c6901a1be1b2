#pragma once

#include <functional>
#include <string>

#include "TextRules.h"

// What the script code needs from the platform, passed in so that it runs and
// is tested anywhere.
struct ScriptServices {
  // True when the path names an existing file or directory.
  std::function<bool(const std::string& path)> pathExists;
  // True when the path names an existing directory.
  std::function<bool(const std::string& path)> isDirectory;
  // Shows a warning to the user and returns when it has been seen.
  std::function<void(const std::string& text, const std::string& caption)> showWarning;
  TextRules text;

  // The file system of this machine; warnings go to a message box on Windows
  // and to standard error elsewhere.
  static ScriptServices Platform();
};

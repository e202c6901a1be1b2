#pragma once

#include <functional>
#include <string>

#include "PathText.h"
#include "TextRules.h"

// What the script code needs from the platform, passed in so that it runs and
// is tested anywhere.
struct ScriptServices {
  // True when the path (a constant's value, in the script's text) names an
  // existing file or directory.
  std::function<bool(const std::string& path)> pathExists;
  // True when the selected path names an existing directory.
  std::function<bool(const PathText& path)> isDirectory;
  // The script's 8-bit text in the form of selected paths, so that both meet
  // in one command.
  std::function<PathText(const std::string& text)> fromAnsi;
  // Shows a warning to the user and returns when it has been seen.
  std::function<void(const std::string& text, const std::string& caption)> showWarning;
  TextRules text;

  // The file system of this machine; warnings go to a message box on Windows
  // and to standard error elsewhere.
  static ScriptServices Platform();
};

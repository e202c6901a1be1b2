#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "script/ScriptServices.h"

// Platform services with a made-up file system: exactly the paths that a test
// declares exist, and warnings are recorded instead of shown. The script's text
// is converted as on this platform.
class FakeServices {
public:
  FakeServices& File(const std::string& path);
  FakeServices& Folder(const PathText& path);
  FakeServices& Text(TextRules rules);

  // Services bound to this object, which must outlive them.
  ScriptServices Services();

  // Each warning as caption and text, in the order shown.
  const std::vector<std::pair<std::string, std::string>>& Warnings() const { return warnings_; }

private:
  std::set<std::string> files_;
  std::set<PathText> folders_;
  std::vector<std::pair<std::string, std::string>> warnings_;
  TextRules text_;
};

#pragma once

#include <string>
#include <vector>

// A file a file manager's menu is made of, as a writer composes it.
struct MenuFile {
  std::string path;
  std::string content;
  bool executable = false;
};

using MenuFiles = std::vector<MenuFile>;

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

// The comment line each of our menu files holds, by which a file left behind
// by an install that did not finish is known as ours.
inline constexpr char kWrittenByQxm[] = "# Written by qxm install; qxm uninstall removes it.\n";

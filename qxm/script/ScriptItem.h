#pragma once

#include <cstdint>
#include <string>

// What a script item offers, stored in ScriptItem::type.
enum ItemType : std::int32_t {
  FileItem = 0,    // a command offered when files are selected
  FolderItem = 1,  // a command offered when exactly one folder is selected
  Separator = 2,   // a separator line, offered in both cases
};

// One menu item of a script, as its item line declares it.
struct ScriptItem {
  std::int32_t type = FileItem;
  std::string extension;    // "*" matches every extension
  std::string submenuPath;  // names separated by backslashes; empty = top level
  std::string name;         // the menu text
  std::string exePath;      // the program as a literal path ...
  std::int32_t exeId = -1;  // ... or as a constant ID; -1 when the path is literal
  std::string helpText;
  std::string arguments;   // "%f" stands for the selected paths
  std::string sourceLine;  // the line exactly as read: what the stored script keeps
  std::int32_t iconId = 0;
  std::int32_t submenuIconId = 0;
  std::int32_t index = -1;  // position among the applicable items
};

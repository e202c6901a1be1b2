// Which items a selection of files or folders is offered, and submenu names.
#include "MenuScript.h"
#include "ScriptText.h"
#include "Tokenizer.h"

namespace {

bool Offered(const ScriptItem& item, bool folderMode, const std::string& extension) {
  if (folderMode) return item.type == FolderItem || item.type == Separator;
  if (item.type == Separator) return true;
  return item.type == FileItem &&
         (item.extension == extension || extension == "*" || item.extension == "*");
}

}  // namespace

bool MenuScript::SelectItems(const std::vector<std::string>& paths) {
  if (paths.empty()) return false;
  bool folderMode = false;
  // Several paths are files of every kind, whatever they name.
  std::string extension = "*";
  if (paths.size() == 1) {
    const std::string& path = paths.front();
    if (services_.isDirectory(path)) {
      folderMode = true;
    } else {
      // The text after the last dot anywhere in the path; a dot in a folder name counts.
      const std::size_t dot = FindLastChar(path, '.', services_.text);
      extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    }
  }
  applicable.clear();
  for (const ScriptItem& item : items) {
    if (!Offered(item, folderMode, extension)) continue;
    applicable.push_back(item);
    applicable.back().index = static_cast<std::int32_t>(applicable.size() - 1);
  }
  return true;
}

std::string MenuScript::SubmenuName(const ScriptItem& item, int level) const {
  if (level < 0) return std::string();
  Tokenizer names(item.submenuPath, "\\", services_.text);
  std::string name = names.Next();
  for (int i = 0; i < level && !name.empty(); ++i) name = names.Next();
  return name;
}

// Which items a selection of files or folders is offered, and submenu names.
#include "MenuScript.h"
#include "ScriptText.h"
#include "Tokenizer.h"

namespace {

// The text after the last dot anywhere in the path (a dot in a folder name
// counts); empty when there is none.
PathText ExtensionOf(const PathText& path, const TextRules& rules) {
#ifdef _WIN32
  (void)rules;  // UTF-16 never hides a dot inside a longer character
  const std::size_t dot = path.rfind(L'.');
#else
  const std::size_t dot = FindLastChar(path, '.', rules);
#endif
  return dot == PathText::npos ? PathText() : path.substr(dot + 1);
}

bool Offered(const ScriptItem& item, bool folderMode, const PathText& extension,
             const ScriptServices& services) {
  if (folderMode) return item.type == FolderItem || item.type == Separator;
  if (item.type == Separator) return true;
  if (item.type != FileItem) return false;
  const PathText any = services.fromAnsi("*");
  return extension == any || item.extension == "*" ||
         services.fromAnsi(item.extension) == extension;
}

}  // namespace

bool MenuScript::SelectItems(const std::vector<PathText>& paths) {
  if (paths.empty()) return false;
  bool folderMode = false;
  // Several paths are files of every kind, whatever they name.
  PathText extension = services_.fromAnsi("*");
  if (paths.size() == 1) {
    const PathText& path = paths.front();
    if (services_.isDirectory(path)) {
      folderMode = true;
    } else {
      extension = ExtensionOf(path, services_.text);
    }
  }
  applicable.clear();
  for (const ScriptItem& item : items) {
    if (!Offered(item, folderMode, extension, services_)) continue;
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

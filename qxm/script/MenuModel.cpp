#include "MenuModel.h"

#include "MenuScript.h"
#include "QXMException.h"
#include "Tokenizer.h"

namespace {

MenuEntry* FindSubmenu(std::vector<MenuEntry>& entries, const std::string& name) {
  for (MenuEntry& entry : entries) {
    if (entry.kind == MenuEntry::Kind::kSubmenu && entry.text == name) return &entry;
  }
  return nullptr;
}

MenuEntry CommandEntry(const MenuScript& script, const ScriptItem& item, int level,
                       const std::vector<PathText>& paths) {
  MenuEntry entry{MenuEntry::Kind::kCommand, item.name, item.index, level, {}, {}, {}};
  try {
    entry.command = ComposeCommand(script, item.index, paths);
  } catch (const CQXMException& error) {
    // Only a hand-edited stored script can name a negative constant; the entry
    // still shows, and choosing it reports the message.
    entry.commandError = error.GetMessage();
  }
  return entry;
}

}  // namespace

MenuModel BuildMenu(const MenuScript& script, const std::vector<PathText>& paths) {
  MenuModel model;
  for (const ScriptItem& item : script.applicable) {
    // A command without text cannot be shown; the insertion ends there.
    if ((item.type == FileItem || item.type == FolderItem) && item.name.empty()) break;
    std::vector<MenuEntry>* current = nullptr;  // null: the top level
    int level = 0;
    Tokenizer names(item.submenuPath, "\\", script.Text());
    for (std::string name = names.Next(); !name.empty(); name = names.Next(), ++level) {
      std::vector<MenuEntry>& menu = current == nullptr ? model.atShellPosition : *current;
      MenuEntry* submenu = FindSubmenu(menu, name);
      if (submenu == nullptr) {
        MenuEntry entry{MenuEntry::Kind::kSubmenu, name, item.index, level, {}, {}, {}};
        if (current == nullptr) {
          submenu = &*model.atShellPosition.insert(model.atShellPosition.begin(), entry);
        } else {
          current->push_back(entry);
          submenu = &current->back();
        }
      }
      current = &submenu->children;
    }
    if (item.type == Separator) {
      MenuEntry entry{MenuEntry::Kind::kSeparator, {}, item.index, level, {}, {}, {}};
      if (current != nullptr) {
        current->push_back(entry);
      } else if (item.submenuPath.empty()) {
        model.atShellPosition.insert(model.atShellPosition.begin(), entry);
      } else {
        model.atEnd.push_back(entry);  // a path of backslashes only names no submenu
      }
    } else {
      (current == nullptr ? model.atEnd : *current)
          .push_back(CommandEntry(script, item, level, paths));
    }
  }
  return model;
}

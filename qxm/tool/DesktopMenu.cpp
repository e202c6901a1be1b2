#include "tool/DesktopMenu.h"

#include <algorithm>

#include "script/MenuScript.h"
#include "script/Tokenizer.h"

namespace {

constexpr char kSelection[] = "%f";

// Blanks separate words; inside double quotes they do not, and the quotes go.
std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool inWord = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

}  // namespace

DesktopMenu BuildDesktopMenu(const MenuScript& script, std::vector<std::string>& problems) {
  DesktopMenu menu;
  for (const ScriptItem& item : script.items) {
    DesktopEntry entry;
    Tokenizer names(item.submenuPath, "\\", script.Text());
    for (std::string name = names.Next(); !name.empty(); name = names.Next()) {
      entry.submenus.push_back(name);
    }
    if (item.type == Separator) {
      entry.separator = true;
      menu.entries.push_back(entry);
      continue;
    }
    entry.name = item.name;
    entry.help = item.helpText;
    entry.folder = item.type == FolderItem;
    entry.extension = item.extension;
    if (item.iconId >= 0) entry.icon = script.GetConstant(item.iconId);
    if (item.submenuIconId >= 0) entry.submenuIcon = script.GetConstant(item.submenuIconId);
    const std::string program = item.exeId == -1 ? item.exePath : script.GetConstant(item.exeId);
    entry.command.push_back({false, program});
    bool usable = true;
    for (const std::string& word : SplitWords(item.arguments)) {
      if (word == kSelection) {
        entry.command.push_back({true, {}});
      } else if (word.find(kSelection) != std::string::npos) {
        usable = false;
      } else {
        entry.command.push_back({false, word});
      }
    }
    if (!usable) {
      problems.push_back("qxm: '" + item.name +
                         "' is left out of the file managers' menus: its '%f' must stand alone, "
                         "as each path is passed as an argument of its own");
      continue;
    }
    menu.entries.push_back(entry);
  }
  return menu;
}

std::string ThemeIconName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (slash == std::string::npos || dot == std::string::npos || dot < slash + 2) return {};
  const std::string suffix = path.substr(dot);
  if (suffix != ".png" && suffix != ".svg" && suffix != ".xpm") return {};
  const std::string folder = path.substr(0, slash + 1);
  // A theme keeps its images at least one folder below its own: THEME/SIZE/CONTEXT/.
  const std::size_t icons = folder.rfind("/icons/");
  const bool inTheme =
      icons != std::string::npos &&
      std::count(folder.begin() + static_cast<std::ptrdiff_t>(icons) + 7, folder.end(), '/') >= 2;
  if (!inTheme && folder != "/usr/share/pixmaps/") return {};
  return path.substr(slash + 1, dot - slash - 1);
}

std::string FlatName(const DesktopEntry& entry) {
  std::string name;
  for (const std::string& submenu : entry.submenus) name += submenu + ": ";
  return name + entry.name;
}

std::string MnemonicFreeLabel(const std::string& text) {
  std::string label;
  for (const char c : text) {
    if (c == '_') label += '_';
    label += c;
  }
  return label;
}

#include "tool/DolphinMenu.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "tool/KeyFileText.h"

namespace {

constexpr char kSeparator[] = "_SEPARATOR_";

std::string QuoteArgument(const std::string& word) {
  std::string quoted = "\"";
  for (const char c : word) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

struct Group {
  std::string submenu;  // empty: the top level
  bool folder = false;
  std::vector<const DesktopEntry*> actions;  // null for a separator
};

std::string ServiceMenu(const Group& group, Losses& losses) {
  std::string head = "[Desktop Entry]\n" + std::string(kWrittenByQxm);
  // As in Explorer, at the top of the menu rather than in Dolphin's Actions submenu.
  head += "Type=Service\nX-KDE-Priority=TopLevel\n";
  head += group.folder ? "MimeType=inode/directory;\nX-KDE-RequiredNumberOfUrls=1\n"
                       : "MimeType=all/allfiles;\n";
  if (!group.submenu.empty()) head += "X-KDE-Submenu=" + KeyFileValue(group.submenu) + "\n";
  std::string actions;
  std::string ids;
  std::size_t count = 0;
  std::size_t end = group.actions.size();
  while (end > 0 && group.actions[end - 1] == nullptr) --end;  // no separator at the end
  // KDE Frameworks 5 orders a menu's actions by id as text, separators by
  // their common id: zero-padded numbers keep the script's order, and ids
  // before the first separator start with a capital ('Q' < '_' < 'q') so that
  // one separator stays in its place. The later ones join it.
  const auto separators = std::count(
      group.actions.begin(), group.actions.begin() + static_cast<std::ptrdiff_t>(end), nullptr);
  if (separators > 1) {
    losses.insert(
        "Dolphin: KDE Frameworks 5 sorts a menu's actions by id; a menu keeps only its first "
        "separator");
  }
  const std::size_t width = std::to_string(group.actions.size()).size();
  bool pastSeparator = false;
  for (std::size_t i = 0; i < end; ++i) {
    const DesktopEntry* entry = group.actions[i];
    if (entry == nullptr) {
      ids += std::string(kSeparator) + ";";
      pastSeparator = true;
      continue;
    }
    std::string number = std::to_string(++count);
    number.insert(0, width - number.size(), '0');
    std::string id = separators > 0 && !pastSeparator ? "Qxm" : "qxm";
    id += number;
    ids += id + ";";
    std::vector<std::string> deeper(entry->submenus.begin() + (entry->submenus.empty() ? 0 : 1),
                                    entry->submenus.end());
    std::string name;
    for (const std::string& submenu : deeper) name += submenu + ": ";
    actions += "\n[Desktop Action " + id + "]\n";
    actions += "Name=" + KeyFileValue(name + entry->name) + "\n";
    if (!entry->icon.empty()) actions += "Icon=" + KeyFileValue(entry->icon) + "\n";
    actions += "Exec=" + KeyFileValue(DolphinExec(*entry)) + "\n";
  }
  return head + "Actions=" + ids + "\n" + actions;
}

}  // namespace

std::string DolphinExec(const DesktopEntry& entry) {
  std::string exec;
  for (const CommandWord& word : entry.command) {
    if (!exec.empty()) exec += ' ';
    exec += word.selection ? "%F" : QuoteArgument(word.text);
  }
  return exec;
}

MenuFiles DolphinFiles(const DesktopMenu& menu, const std::string& serviceMenusFolder,
                       Losses& losses) {
  std::vector<Group> groups;
  for (const DesktopEntry& entry : menu.entries) {
    const std::string submenu = entry.submenus.empty() ? std::string() : entry.submenus.front();
    if (entry.submenus.size() > 1) {
      losses.insert(
          "Dolphin: has one submenu level; deeper submenu names go before the entries' names");
    }
    if (entry.separator) {
      // A separator stands in the files' menu and in the folder's alike.
      for (Group& group : groups) {
        if (group.submenu == submenu && !group.actions.empty() && group.actions.back() != nullptr)
          group.actions.push_back(nullptr);
      }
      continue;
    }
    if (!entry.folder && entry.extension != "*") {
      losses.insert("Dolphin: has no extension filters; such entries show for every file");
    }
    Group* target = nullptr;
    for (Group& group : groups) {
      if (group.submenu == submenu && group.folder == entry.folder) target = &group;
    }
    if (target == nullptr) {
      groups.push_back({submenu, entry.folder, {}});
      target = &groups.back();
    }
    target->actions.push_back(&entry);
  }
  MenuFiles files;
  for (const Group& group : groups) {
    char name[32];
    std::snprintf(name, sizeof name, "/qxm-%02zu.desktop", files.size() + 1);
    files.push_back({serviceMenusFolder + name, ServiceMenu(group, losses), true});
  }
  return files;
}

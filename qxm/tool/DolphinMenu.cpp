#include "tool/DolphinMenu.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "tool/FileTypes.h"
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

// Which selections a service menu is for.
enum class Kind { kFolder, kOneFile, kSeveral, kTyped };

struct Group {
  std::string submenu;  // empty: the top level
  Kind kind = Kind::kOneFile;
  std::string mimeType;                      // kTyped only
  std::vector<const DesktopEntry*> actions;  // null for a separator
  std::vector<std::string> ids;              // one per action; "" for a separator
};

std::string IconValue(const std::string& path) {
  const std::string name = ThemeIconName(path);
  return name.empty() ? path : name;
}

std::string ServiceMenu(const Group& group, const std::string& submenuIcon) {
  std::string head = "[Desktop Entry]\n" + std::string(kWrittenByQxm);
  // As in Explorer, at the top of the menu rather than in Dolphin's Actions submenu.
  head += "Type=Service\nX-KDE-Priority=TopLevel\n";
  switch (group.kind) {
    case Kind::kFolder: head += "MimeType=inode/directory;\nX-KDE-RequiredNumberOfUrls=1\n"; break;
    case Kind::kOneFile: head += "MimeType=all/allfiles;\nX-KDE-RequiredNumberOfUrls=1\n"; break;
    // As qxm's menu: several items, folders among them, are files of every kind.
    case Kind::kSeveral: head += "MimeType=all/all;\nX-KDE-MinNumberOfUrls=2\n"; break;
    case Kind::kTyped: head += "MimeType=" + KeyFileListItem(group.mimeType) + ";\n"; break;
  }
  std::string actions;
  std::string ids;
  if (!group.submenu.empty()) {
    head += "X-KDE-Submenu=" + KeyFileValue(group.submenu) + "\n";
    // KDE Frameworks 5 gives a submenu the icon of the first action it
    // collects for it, hidden or not: a hidden one first in every service
    // menu of the submenu carries the submenu's icon.
    if (!submenuIcon.empty()) {
      ids += "qxm0;";
      actions += "\n[Desktop Action qxm0]\nName=" + KeyFileValue(group.submenu) +
                 "\nIcon=" + KeyFileValue(IconValue(submenuIcon)) + "\nExec=true\nNoDisplay=true\n";
    }
  }
  for (std::size_t i = 0; i < group.actions.size(); ++i) {
    const DesktopEntry* entry = group.actions[i];
    if (entry == nullptr) {
      ids += std::string(kSeparator) + ";";
      continue;
    }
    const std::string& id = group.ids[i];
    ids += id + ";";
    std::vector<std::string> deeper(entry->submenus.begin() + (entry->submenus.empty() ? 0 : 1),
                                    entry->submenus.end());
    std::string name;
    for (const std::string& submenu : deeper) name += submenu + ": ";
    actions += "\n[Desktop Action " + id + "]\n";
    actions += "Name=" + KeyFileValue(name + entry->name) + "\n";
    if (!entry->icon.empty()) actions += "Icon=" + KeyFileValue(IconValue(entry->icon)) + "\n";
    actions += "Exec=" + KeyFileValue(DolphinExec(*entry)) + "\n";
  }
  return head + "Actions=" + ids + "\n" + actions;
}

// The kinds of service menu that show an entry.
std::vector<std::pair<Kind, std::string>> KindsOf(const DesktopEntry& entry, Losses& losses) {
  if (entry.folder) return {{Kind::kFolder, {}}};
  if (entry.extension != "*") {
    if (const FileType* type = FileTypeOfExtension(entry.extension)) {
      return {{Kind::kTyped, type->mimeType}};
    }
    losses.insert(
        "Dolphin: filters by file type; entries for an extension that is not one of Veilor's "
        "show for every file");
  }
  return {{Kind::kOneFile, {}}, {Kind::kSeveral, {}}};
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
  // Each top-level submenu's entries and separators in script order.
  std::vector<std::string> submenus;
  std::vector<std::vector<const DesktopEntry*>> sequences;
  std::vector<std::string> submenuIcons;
  for (const DesktopEntry& entry : menu.entries) {
    const std::string submenu = entry.submenus.empty() ? std::string() : entry.submenus.front();
    if (entry.submenus.size() > 1) {
      losses.insert(
          "Dolphin: has one submenu level; deeper submenu names go before the entries' names");
    }
    auto at = std::find(submenus.begin(), submenus.end(), submenu);
    if (at == submenus.end()) {
      submenus.push_back(submenu);
      sequences.emplace_back();
      submenuIcons.emplace_back();
      at = submenus.end() - 1;
    }
    const auto index = static_cast<std::size_t>(at - submenus.begin());
    sequences[index].push_back(entry.separator ? nullptr : &entry);
    if (submenuIcons[index].empty()) submenuIcons[index] = entry.submenuIcon;
  }
  MenuFiles files;
  for (std::size_t s = 0; s < submenus.size(); ++s) {
    std::vector<const DesktopEntry*>& sequence = sequences[s];
    while (!sequence.empty() && sequence.back() == nullptr) sequence.pop_back();
    // KDE Frameworks 5 orders a menu's actions by id as text, separators by
    // their common id, whichever service menu of the submenu they come from:
    // zero-padded numbers keep the script's order, and ids before the first
    // separator start with a capital ('Q' < '_' < 'q') so that one separator
    // stays in its place. The later ones join it.
    const auto separators = std::count(sequence.begin(), sequence.end(), nullptr);
    if (separators > 1) {
      losses.insert(
          "Dolphin: KDE Frameworks 5 sorts a menu's actions by id; a menu keeps only its first "
          "separator");
    }
    const std::size_t width = std::to_string(sequence.size()).size();
    std::vector<Group> groups;
    std::size_t count = 0;
    bool pastSeparator = false;
    for (const DesktopEntry* entry : sequence) {
      if (entry == nullptr) {
        pastSeparator = true;
        // A separator stands in every service menu of the submenu that has an
        // entry before it; Qt hides one that would end a menu.
        for (Group& group : groups) {
          if (group.actions.back() != nullptr) {
            group.actions.push_back(nullptr);
            group.ids.emplace_back();
          }
        }
        continue;
      }
      std::string number = std::to_string(++count);
      number.insert(0, width - number.size(), '0');
      const std::string id = (separators > 0 && !pastSeparator ? "Qxm" : "qxm") + number;
      for (const auto& [kind, mimeType] : KindsOf(*entry, losses)) {
        // Named copies: clang 14 does not let a lambda capture a structured binding.
        const auto& wantedKind = kind;
        const auto& wantedType = mimeType;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
          return g.kind == wantedKind && g.mimeType == wantedType;
        });
        if (group == groups.end()) {
          groups.push_back({submenus[s], kind, mimeType, {}, {}});
          group = groups.end() - 1;
          // Behind the separator of the entries shown beside it.
          if (pastSeparator && count > 1) {
            group->actions.push_back(nullptr);
            group->ids.emplace_back();
          }
        }
        group->actions.push_back(entry);
        group->ids.push_back(id);
      }
    }
    for (Group& group : groups) {
      while (!group.actions.empty() && group.actions.back() == nullptr) {
        group.actions.pop_back();
        group.ids.pop_back();
      }
      char name[32];
      std::snprintf(name, sizeof name, "/qxm-%02zu.desktop", files.size() + 1);
      files.push_back({serviceMenusFolder + name, ServiceMenu(group, submenuIcons[s]), true});
    }
  }
  return files;
}

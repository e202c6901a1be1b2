#include "tool/NemoMenu.h"

#include <cstdio>
#include <vector>

#include "tool/KeyFileText.h"
#include "tool/ShellQuote.h"

std::string NemoExec(const DesktopEntry& entry) {
  std::string exec;
  for (const CommandWord& word : entry.command) {
    if (!exec.empty()) exec += ' ';
    if (word.selection) {
      exec += "%F";
    } else if (word.text.find('%') != std::string::npos) {
      return {};
    } else {
      exec += ShellQuote(word.text);
    }
  }
  return exec;
}

std::string NemoAction(const DesktopEntry& entry, NemoSelection selection, bool forAllUsers) {
  std::string text = "[Nemo Action]\n";
  text += kWrittenByQxm;
  text += "Active=true\n";
  text += "Name=" + KeyFileValue(MnemonicFreeLabel(FlatName(entry))) + "\n";
  if (!entry.help.empty()) text += "Comment=" + KeyFileValue(entry.help) + "\n";
  text += "Exec=" + KeyFileValue(NemoExec(entry)) + "\n";
  // Nemo takes icons by name only.
  const std::string icon = ThemeIconName(entry.icon);
  if (!icon.empty()) text += "Icon-Name=" + KeyFileValue(icon) + "\n";
  switch (selection) {
    case NemoSelection::kOne:
      text += entry.folder ? "Selection=s\nExtensions=dir;\n" : "Selection=s\nExtensions=nodirs;\n";
      break;
    case NemoSelection::kSeveral: text += "Selection=m\nExtensions=any;\n"; break;
    case NemoSelection::kAny:
      text += "Selection=notnone\nExtensions=" + KeyFileListItem("." + entry.extension) + ";\n";
      break;
  }
  text += "Quote=double\n";
  // Nemo shows every action it finds, a user's and all users' alike: this
  // menu stands back, at each showing, while the user has one of qxm's own.
  // No ';' inside, which would end the condition.
  if (forAllUsers) text += kNemoUnlessUsersOwn;
  return text;
}

MenuFiles NemoFiles(const DesktopMenu& menu, const std::string& actionsFolder, bool forAllUsers,
                    Losses& losses) {
  MenuFiles files;
  for (const DesktopEntry& entry : menu.entries) {
    if (entry.separator) {
      losses.insert("Nemo: has no separators; they are left out");
      continue;
    }
    if (!entry.submenus.empty()) {
      losses.insert("Nemo: has no submenus; their names go before the entries' names");
    }
    if (NemoExec(entry).empty()) {
      losses.insert("Nemo: cannot pass a '%' in a command; such entries are left out");
      continue;
    }
    if (!entry.icon.empty() && ThemeIconName(entry.icon).empty()) {
      losses.insert("Nemo: shows icons of an icon theme only, by name; other icons are left out");
    }
    std::vector<NemoSelection> selections;
    if (entry.folder) {
      selections = {NemoSelection::kOne};
    } else if (entry.extension == "*") {
      // As qxm's menu: several items, folders among them, are files of every kind.
      selections = {NemoSelection::kOne, NemoSelection::kSeveral};
    } else {
      // Only where every selected item has the extension: "Decrypt" where it can work.
      selections = {NemoSelection::kAny};
    }
    for (const NemoSelection selection : selections) {
      char name[32];
      std::snprintf(name, sizeof name, "/qxm-%03zu.nemo_action", files.size() + 1);
      files.push_back({actionsFolder + name, NemoAction(entry, selection, forAllUsers), false});
    }
  }
  return files;
}

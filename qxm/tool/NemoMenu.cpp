#include "tool/NemoMenu.h"

#include <cstdio>

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

std::string NemoAction(const DesktopEntry& entry) {
  std::string text = "[Nemo Action]\n";
  text += kWrittenByQxm;
  text += "Active=true\n";
  text += "Name=" + KeyFileValue(MnemonicFreeLabel(FlatName(entry))) + "\n";
  if (!entry.help.empty()) text += "Comment=" + KeyFileValue(entry.help) + "\n";
  text += "Exec=" + KeyFileValue(NemoExec(entry)) + "\n";
  if (!entry.icon.empty()) text += "Icon-Name=" + KeyFileValue(entry.icon) + "\n";
  if (entry.folder) {
    text += "Selection=s\nExtensions=dir;\n";
  } else {
    text += "Selection=notnone\n";
    text +=
        "Extensions=" +
        (entry.extension == "*" ? std::string("nodirs") : KeyFileListItem("." + entry.extension)) +
        ";\n";
  }
  text += "Quote=double\n";
  return text;
}

MenuFiles NemoFiles(const DesktopMenu& menu, const std::string& actionsFolder, Losses& losses) {
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
    char name[32];
    std::snprintf(name, sizeof name, "/qxm-%03zu.nemo_action", files.size() + 1);
    files.push_back({actionsFolder + name, NemoAction(entry), false});
  }
  return files;
}

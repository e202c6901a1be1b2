#include "tool/NautilusMenu.h"

#include <algorithm>
#include <map>
#include <vector>

#include "tool/ShellQuote.h"

namespace {

// A menu text as a file name: a slash would make it a folder.
std::string FileName(std::string name) {
  for (char& c : name) {
    if (c == '/') c = '-';
  }
  if (name == "." || name == "..") name = "_" + name;
  return name;
}

void AddOnce(std::vector<std::string>& names, const std::string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

}  // namespace

void NoteNautilusLosses(const DesktopEntry& entry, Losses& losses) {
  if (entry.separator) losses.insert("Nautilus: has no separators; they are left out");
  if (!entry.icon.empty()) losses.insert("Nautilus: shows no icons; they are left out");
}

std::string NautilusScript(const DesktopEntry& entry) {
  std::string command = "exec";
  for (const CommandWord& word : entry.command) {
    command += ' ';
    command += word.selection ? "\"$@\"" : ShellQuote(word.text);
  }
  return "#!/bin/sh\n" + std::string(kWrittenByQxm) +
         "nl='\n'\n"
         "list=${NAUTILUS_SCRIPT_SELECTED_FILE_PATHS-}\n"
         "rest=$list\n"
         "lines=0\n"
         "while :; do\n"
         "  case $rest in\n"
         "    *\"$nl\"*) rest=${rest#*\"$nl\"}; lines=$((lines + 1)) ;;\n"
         "    *) break ;;\n"
         "  esac\n"
         "done\n"
         "if [ \"$lines\" -gt 0 ] && [ \"$lines\" -eq \"$#\" ]; then\n"
         "  set -f\n"
         "  IFS=$nl\n"
         "  # Unquoted on purpose: split at line feeds only, no patterns.\n"
         "  set -- $list\n"
         "fi\n" +
         command + "\n";
}

MenuFiles NautilusFiles(const DesktopMenu& menu, const std::string& scriptsFolder, Losses& losses) {
  MenuFiles files;
  std::map<std::string, std::string> written;             // path -> script
  std::map<std::string, std::vector<std::string>> names;  // folder -> names in script order
  bool filtered = false;
  for (const DesktopEntry& entry : menu.entries) {
    NoteNautilusLosses(entry, losses);
    if (entry.separator) continue;
    if (entry.folder || entry.extension != "*") filtered = true;
    std::string folder = scriptsFolder;
    for (const std::string& submenu : entry.submenus) {
      AddOnce(names[folder], FileName(submenu));
      folder += '/';
      folder += FileName(submenu);
    }
    AddOnce(names[folder], FileName(entry.name));
    const std::string path = folder + "/" + FileName(entry.name);
    const std::string script = NautilusScript(entry);
    const auto [found, inserted] = written.emplace(path, script);
    if (!inserted) {
      if (found->second != script) {
        losses.insert(
            "Nautilus: entries with the same name in one submenu are one script; the first is "
            "kept");
      }
      continue;
    }
    files.push_back({path, script, true});
  }
  if (filtered) {
    losses.insert(
        "Nautilus: has no file, folder or extension filters; every entry shows for every "
        "selection");
  }
  for (const auto& [folder, inOrder] : names) {
    if (!std::is_sorted(inOrder.begin(), inOrder.end())) {
      losses.insert("Nautilus: sorts the entries of each menu by name");
    }
  }
  return files;
}

#pragma once

#include <string>

#include "tool/DesktopMenu.h"
#include "tool/MenuFile.h"

// Nautilus' scripts: every command is an executable file in the scripts
// folder, named as its entry; a submenu is a folder. There are no separators,
// no filters and no icons, and Nautilus sorts the entries by name.
MenuFiles NautilusFiles(const DesktopMenu& menu, const std::string& scriptsFolder, Losses& losses);

// What Nautilus' menus, its scripts and its extensions alike, lose of an
// entry: separators and icons.
void NoteNautilusLosses(const DesktopEntry& entry, Losses& losses);

// The POSIX shell script of one command. Nautilus gives the selection twice:
// as arguments, relative to the folder it starts the script in, and as
// NAUTILUS_SCRIPT_SELECTED_FILE_PATHS, each absolute path followed by a line
// feed. The list is used when it holds one line per argument, which means no
// name holds a line feed; otherwise the arguments, which are exact.
std::string NautilusScript(const DesktopEntry& entry);

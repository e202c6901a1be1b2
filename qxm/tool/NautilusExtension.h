#pragma once

#include <string>

#include "tool/DesktopMenu.h"
#include "tool/MenuFile.h"

// Nautilus reads scripts from each user's own folder only; for all users its
// menu comes from a nautilus-python extension (python3-nautilus), which this
// writes: one Python file that offers a selection the entries qxm menu shows
// for it, in the script's order, with submenus. Nautilus has no separators.
// It offers nothing to a user whose own qxm install wrote Nautilus scripts:
// their own menu replaces it.
MenuFiles NautilusExtensionFiles(const DesktopMenu& menu, const std::string& extensionsFolder,
                                 Losses& losses);

// The extension's Python text. The script's texts go in as bytes literals, so
// that every name and argument reaches the program exactly as written.
std::string NautilusExtension(const DesktopMenu& menu);

#pragma once

#include <string>

#include "tool/DesktopMenu.h"
#include "tool/MenuFile.h"

// Dolphin's service menus: one executable desktop file per top-level submenu
// and kind of selection (one folder, one file, several items of any kind, or
// files of one of Veilor's types), its commands as actions in script order,
// separators between them, of which KDE Frameworks 5 shows a menu's first. A
// service menu has one submenu level, whose icon is that of the first action
// collected for it (the submenu icon of its first entry, on a hidden action),
// and filters by MIME type, not by extension.
MenuFiles DolphinFiles(const DesktopMenu& menu, const std::string& serviceMenusFolder,
                       Losses& losses);

// The Exec value of one command, before the key file's own escapes: every
// literal word in double quotes with '"', '`', '$' and '\' escaped, '%' doubled,
// and %F where the paths go, each as an argument of its own.
std::string DolphinExec(const DesktopEntry& entry);

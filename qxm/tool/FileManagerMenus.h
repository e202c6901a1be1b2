#pragma once

#include <ostream>

#include "tool/MenuFolders.h"

class MenuScript;
class Registry;

// Where the record of the written menus is kept, beside the stored script, so
// that uninstalling finds them even where the folders of its run do not look.
inline constexpr char kMenuRecordKeyPath[] = "Software\\qxm file manager menus";

// Replaces the file managers' menus written before (as UninstallMenus finds
// them) with those of the script: Nautilus scripts (or, for all users, a
// Nautilus extension), Nemo actions, Dolphin service menus and our actions in
// Thunar's uca.xml. A file that is there and is not ours stays, and its entry
// is left out. What is written is recorded before it is written. What a format
// cannot express goes to out, one line per kind; failures go to err. True when
// all was written.
bool InstallMenus(const MenuScript& script, const MenuFolders& folders, Registry& registry,
                  std::ostream& out, std::ostream& err);

// For a user with a menu of their own, which replaces the one for all users:
// a Dolphin service menu that shows nothing stands in for each one for all
// users that the user has no file of that name for (written at install, and
// at each login for a menu for all users installed later). Nautilus' extension
// and the Thunar step see the user's own menu by themselves; Nemo shows both.
bool KeepUsersOwnMenus(const MenuFolders& folders, std::ostream& err);

// A user's step at login (qxm sync-user), for a user without a script of
// their own: replaces our actions in the user's own uca.xml, when there is
// one, with these (the menu for all users; none when there is none) and
// keeps the script that takes them out once that menu is gone, with its
// autostart entry, while any are merged. Thunar reads the list for all users
// only while a user has no list of their own. True when all was written.
bool SyncUserThunar(const MenuFolders& folders, const std::string& actions, std::ostream& err);

// Removes every menu of ours that the record names or that lies in the
// folders: the files that carry our mark, the folders made for them once they
// are empty, and our actions in uca.xml. What cannot be removed is said on
// err. True when nothing was left.
bool UninstallMenus(Registry& registry, const MenuFolders& folders, std::ostream& err);

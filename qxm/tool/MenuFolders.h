#pragma once

#include <functional>
#include <string>

// Where the file managers look for their menus, for one user or for all.
struct MenuFolders {
  std::string nautilusScripts;  // empty: Nautilus has no such place (all users)
  std::string nemoActions;
  std::string dolphinServiceMenus;
  std::string thunarActions;  // the uca.xml we merge into
  // The uca.xml Thunar reads while thunarActions is missing, which a new file
  // starts from so that the user keeps those actions; empty for none.
  std::string thunarDefaults;
  // Where python3-nautilus loads extensions for all users; used while
  // nautilusScripts is empty, and only when python3-nautilus made the folder.
  std::string nautilusExtensions;
  // The XDG autostart folder: for all users, where the login step that brings
  // the menu into each user's own uca.xml goes (qxm sync-user); for a user,
  // where the entry that runs leftoverCleaner goes.
  std::string autostart;
  // A user's only: the script that takes the actions for all users out of the
  // user's uca.xml once that menu is gone.
  std::string leftoverCleaner;
  bool allUsers = false;
  // A user's only: Dolphin's service menus for all users, which a user's own
  // menu replaces, while $XDG_DATA_DIRS leads Dolphin there. Dolphin takes
  // one file of each name, the user's first.
  std::string dolphinForAllUsers;
  // All users' only: the scripts the X session's start-up runs (Debian's
  // /etc/X11/Xsession.d) before the session starts Thunar; empty for none.
  std::string xsessionScripts;
};

using Environment = std::function<std::string(const std::string& name)>;

// The current user's folders: $XDG_DATA_HOME (~/.local/share) and
// $XDG_CONFIG_HOME (~/.config); Thunar's defaults come from the first of
// $XDG_CONFIG_DIRS (/etc/xdg) that has them.
MenuFolders UserMenuFolders(const Environment& environment);

// The folders read for every user: /usr/share for Nemo and Dolphin, and
// /etc/xdg/Thunar/uca.xml, which Thunar reads only for users without their own.
// Nautilus reads scripts from each user's folder only, so it gets an extension.
MenuFolders SystemMenuFolders();

// The store of the current user's installed script: $QXM_REGISTRY_DIR when
// set, else $XDG_CONFIG_HOME/qxm (~/.config/qxm).
std::string UserStoreRoot(const Environment& environment);

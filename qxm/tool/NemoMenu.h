#pragma once

#include <string>

#include "tool/DesktopMenu.h"
#include "tool/MenuFile.h"

// Nemo's actions: one key file per command in the actions folder, named so
// that the entries keep the script's order. Nemo (as in Debian 12) has no
// submenus and no separators; it filters by extension and by folder itself.
// An entry for every file is two actions, as Nemo can say "one item that is
// not a folder" or "several items of any kind" but not both in one.
// The actions for all users stay hidden from a user who installed a script of
// their own, whose actions replace them.
MenuFiles NemoFiles(const DesktopMenu& menu, const std::string& actionsFolder, bool forAllUsers,
                    Losses& losses);

// Which selections an action is for.
enum class NemoSelection {
  kOne,      // one file (one folder for a folder entry)
  kSeveral,  // more than one item, folders included
  kAny,      // any number of files matching the entry's extension
};

// The action file of one command.
std::string NemoAction(const DesktopEntry& entry, NemoSelection selection, bool forAllUsers);

// The condition of an action for all users: Nemo runs the command (split as a
// shell would, without one) when it builds a menu and shows the action only
// if it exits 0, here when the user's actions folder holds none of qxm's.
inline constexpr char kNemoUnlessUsersOwn[] =
    "Conditions=exec /bin/sh -c '! grep -qsF \"Written by qxm install\" "
    "\"${XDG_DATA_HOME:-$HOME/.local/share}\"/nemo/actions/qxm-*.nemo_action';\n";

// The Exec line of one command. Nemo replaces %F by every path in double
// quotes (with Quote=double) and splits the line as GLib's shell parser does,
// without a shell; the literal words are in single quotes, where that parser
// keeps everything as it is. Nemo knows no escape for "%", so a command with
// one cannot be written: empty then.
std::string NemoExec(const DesktopEntry& entry);

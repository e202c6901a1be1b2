#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tool/DesktopMenu.h"

// Thunar's custom actions live in one file, uca.xml, together with the user's
// own. Ours are known by their unique-id, which starts with this text; the
// rest of the file is kept byte for byte, in its order.
inline constexpr char kThunarIdPrefix[] = "qxm-";
// The ids of the menu for all users, in /etc/xdg/Thunar/uca.xml and in the
// copies that Thunar and qxm sync-user make of it in a user's file: what is
// left of them once that menu is gone is known by these.
inline constexpr char kThunarAllUsersIdPrefix[] = "qxm-all-";

// Our <action> elements for the script's commands, their ids starting with
// idPrefix. Thunar (as in Debian 12) knows no submenus and no separators, and
// rejects the whole file for an element it does not know, so none is added.
std::string ThunarActions(const DesktopMenu& menu, Losses& losses,
                          const char* idPrefix = kThunarIdPrefix);

// A shell script that takes the actions of the menu for all users out of the
// user's uca.xml once that menu is no longer installed, then removes itself
// and the files named in alsoRemove (its autostart entry). The menu counts as
// installed while systemList (Thunar's list for all users) holds one of its
// ids. Without an XML parser at hand it edits by lines: an <action> line, the
// lines up to its </action> line, taken out when one of them holds such an
// id; anything else stays as it is.
std::string ThunarLeftoverCleaner(const std::string& userList, const std::string& systemList,
                                  const std::vector<std::string>& alsoRemove);

// The command of one entry. Thunar replaces %F by every path quoted for the
// shell, joined by blanks, and runs the line with /bin/sh -c; the literal
// words are quoted for the shell, and '%' is doubled, Thunar's own escape.
std::string ThunarCommand(const DesktopEntry& entry);

// The file's text with our previous actions removed and these added at the
// end of the list, every other byte as it was; a missing file (nullopt)
// becomes a new one. Our actions are those whose unique-id, as an XML parser
// reads it, starts with kThunarIdPrefix. Nothing when the text is not a
// well-formed list of actions in UTF-8, or the result would not read back as
// one: the file must then stay as it is.
std::optional<std::string> MergeThunarActions(const std::optional<std::string>& existing,
                                              const std::string& actions);

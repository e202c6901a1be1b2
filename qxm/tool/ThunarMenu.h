#pragma once

#include <optional>
#include <string>

#include "tool/DesktopMenu.h"

// Thunar's custom actions live in one file, uca.xml, together with the user's
// own. Ours are known by their unique-id, which starts with this text; the
// rest of the file is kept byte for byte, in its order.
inline constexpr char kThunarIdPrefix[] = "qxm-";

// Our <action> elements for the script's commands. Thunar (as in Debian 12)
// knows no submenus and no separators, and rejects the whole file for an
// element it does not know, so none is added.
std::string ThunarActions(const DesktopMenu& menu, Losses& losses);

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

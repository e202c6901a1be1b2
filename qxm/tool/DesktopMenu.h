#pragma once

#include <set>
#include <string>
#include <vector>

class MenuScript;

// One word of a command as the file managers start it: a literal argument or
// the place where every selected path goes, each as an argument of its own.
struct CommandWord {
  bool selection = false;
  std::string text;  // literal words only
};

// A script item as the Linux file managers' menus take it. Unlike Explorer's
// menu it does not depend on a selection: each file manager filters by itself.
struct DesktopEntry {
  bool separator = false;
  std::vector<std::string> submenus;  // outermost first; empty = top level
  std::string name;
  std::string help;
  std::string icon;                  // the icon constant's path, or empty
  std::string submenuIcon;           // the submenu icon constant's path, or empty
  bool folder = false;               // offered for one folder instead of for files
  std::string extension;             // "*" for every file
  std::vector<CommandWord> command;  // the program first
};

// What the file managers get of a whole script.
struct DesktopMenu {
  std::vector<DesktopEntry> entries;  // in script order
};

// Losses a format reports, one line per kind: a set keeps them single and sorted.
using Losses = std::set<std::string>;

// The entries of a parsed script. A template is split into words at blanks,
// double quotes keeping blanks together; "%f" must be a word of its own, since
// each path becomes an argument. An item whose "%f" stands inside a longer word
// is left out, with one line to problems.
DesktopMenu BuildDesktopMenu(const MenuScript& script, std::vector<std::string>& problems);

// The name an icon theme knows the icon at that path by: an image in an icon
// theme's folders (.../icons/THEME/.../NAME.png) or in /usr/share/pixmaps,
// which the desktops search by name; empty for any other path.
std::string ThemeIconName(const std::string& path);

// The entry's submenu names and its name joined for a format without submenus.
std::string FlatName(const DesktopEntry& entry);

// A menu text for the GTK file managers, which read an underscore as a
// mnemonic mark: each one doubled shows as itself.
std::string MnemonicFreeLabel(const std::string& text);

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CommandComposer.h"

class MenuScript;

// One entry of the context menu as the user will see it.
struct MenuEntry {
  enum class Kind { kCommand, kSubmenu, kSeparator };

  Kind kind = Kind::kCommand;
  std::string text;                 // command: the item's name; submenu: its name; separator: empty
  std::int32_t itemIndex = -1;      // the applicable item shown, or that created the submenu
  int level = 0;                    // how many submenus the entry lies in (0 = top level)
  std::vector<MenuEntry> children;  // a submenu's entries, in order

  // Commands only: what choosing the entry runs, or why it cannot be composed.
  ComposedCommand command;
  std::string commandError;
};

// The entries that the script adds to a context menu. The shell's menu has
// entries of its own and names the position where extensions insert theirs.
struct MenuModel {
  // Top-level entries inserted at the shell's position, in the order shown.
  // Each was inserted at that same position, so a later one stands above.
  std::vector<MenuEntry> atShellPosition;
  // Top-level entries appended after everything else in the menu, in order.
  std::vector<MenuEntry> atEnd;
};

// The menu for the script's applicable items (see MenuScript::SelectItems) and
// the selected paths. Submenus are nested by path and found again by name at
// their level.
MenuModel BuildMenu(const MenuScript& script, const std::vector<PathText>& paths);

#pragma once

#include <ostream>

struct MenuModel;

// Prints the menu one line per entry, two spaces of indent per submenu level:
// "> NAME" for a submenu, "---" for a separator and
// "NAME  =>  PROGRAM PARAMETERS" for a command, the program quoted as the shell
// is given it. Entries at the shell's position come first, then those
// appended at the end of the menu. On Windows the lines are in UTF-8.
void PrintMenu(const MenuModel& model, std::ostream& out);

#pragma once

#include <string>
#include <vector>

#include "script/PathText.h"

// The qxm command's text where it meets the console. On Windows the arguments
// are read from the wide command line and carried as UTF-8, and what the menu
// shows is printed in UTF-8, so that a path in any script survives both ways;
// elsewhere everything is bytes and passes through unchanged.

// The program's arguments, its name included.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// An argument as a selected path.
PathText PathFromArgument(const std::string& argument);
// An argument as a script file name, in the script's 8-bit text.
std::string AnsiFromArgument(const std::string& argument);

// Printable text of a selected path or a command, and of the script's text.
std::string OutputText(const PathText& text);
std::string OutputFromAnsi(const std::string& text);

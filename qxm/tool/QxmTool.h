#pragma once

#include <ostream>
#include <string>
#include <vector>

class Registry;

// Exit statuses of the qxm command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs the qxm command with its arguments (without the program name, in the
// form ProgramArguments gives them) against a registry; warnings and errors go
// to err.
int RunQxm(const std::vector<std::string>& args, Registry& registry, std::ostream& out,
           std::ostream& err);

#ifndef _WIN32
#include "tool/MenuFolders.h"

// Where the scripts of the current user or of all users live: the store and
// the file managers' menus.
struct QxmScope {
  Registry& registry;
  MenuFolders folders;
  // Held by install and uninstall, which wait for one another; none when empty.
  std::string lockFile;
};

// The Linux form: install also writes the file managers' menus and every
// command takes --system, which picks the scope of all users.
int RunQxm(const std::vector<std::string>& args, const QxmScope& user, const QxmScope& system,
           std::ostream& out, std::ostream& err);
#endif

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

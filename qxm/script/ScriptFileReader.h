#pragma once

#include <string>

// The whole content of a script file (at most 64 MiB), read once. Raises CQXMException with the
// message for a file that cannot be opened, is empty, does not fit in memory or
// cannot be read completely.
std::string ReadScriptFile(const std::string& fileName);

#pragma once

#include <string>

// A selected path, and the command built from such paths, in the platform's
// own form: UTF-16 on Windows, where the shell hands over names in every
// script whatever the ANSI code page can hold; bytes elsewhere.
#ifdef _WIN32
using PathText = std::wstring;
#else
using PathText = std::string;
#endif

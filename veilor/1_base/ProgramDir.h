#pragma once

#include <wx/string.h>

// The folder of the running program, with a trailing path separator.
wxString GetProgramDir();

// The "themes" folder beside the program, with a trailing path separator.
wxString GetThemeDir();

#pragma once

#include <wx/string.h>

// The folder of the running program, with a trailing path separator.
wxString GetProgramDir();

// The "themes" folder that holds the skin, with a trailing path separator. On
// Windows always the one beside the program. Elsewhere the one beside the
// program when the skin lies there (a build tree), else the one in the
// installed data folder (/usr/share/veilor): a packaged program's own folder
// (/usr/bin) holds no skin.
wxString GetThemeDir();

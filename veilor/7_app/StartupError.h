#pragma once

#include <wx/string.h>

// Shows an error that happens before the toolkit runs, when neither the
// logger nor the toolkit's message boxes can be used: a system message box on
// Windows, elsewhere the toolkit's safe display (standard error without a
// display). The title is "Error".
void ShowStartupError(const wxString& message);

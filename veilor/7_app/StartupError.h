#pragma once

#include <wx/string.h>

// Errors that happen before the toolkit runs (a failed self-test of the
// crypto library, a settings file that cannot be read), when the logger
// cannot be used yet. The title is "Error".
//
// On Windows the error is shown at once in a system message box. Elsewhere
// the toolkit needs a display before it can show anything, so the error is
// kept: once the toolkit runs, ShowPendingStartupError shows it in the
// program's own box, and when there is no display, ReportNoDisplay prints it
// on standard error.
void ReportStartupError(const wxString& message);

// Whether an error was reported; only the first one is kept.
bool HasStartupError();

// Shows the kept error in a box; does nothing on Windows, where it was shown
// already, or when there is none.
void ShowPendingStartupError();

// The toolkit could not open a display: says so on standard error, after
// the kept error if there is one.
void ReportNoDisplay();

#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

// Formats a time with strftime-style specifiers, except that %b is always the
// English month abbreviation: log file names must not change with the locale.
wxString FormatLogTime(const wxString& format, const wxDateTime& time);

#pragma once

#include <wx/string.h>

// File names on Linux are bytes, normally UTF-8. A program started without a
// locale (as some file managers and services start it) would convert them as
// ASCII and lose every other character; this switches character handling to
// UTF-8 when the locale's is not, before the toolkit converts the command line.
// Nothing to do on Windows, whose names are wide text.
void UseUtf8ForNames();

// A command-line argument as text: UTF-8 bytes as UTF-8, whatever the locale
// (the toolkit's own conversion keeps to the locale the process started
// with), anything else as the locale says.
wxString ArgumentText(const char* argument);

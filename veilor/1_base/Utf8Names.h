#pragma once

#include <wx/strconv.h>
#include <wx/string.h>

// File names on Linux are bytes, normally UTF-8 but not always (a name made
// under a Latin-1 locale, or any byte string). Every name converts to text
// and back to the same bytes: UTF-8 where the bytes are UTF-8, each other
// byte as a private-use character of its own. Windows names are wide text
// already; nothing is converted there.
const wxMBConv& NameConversion();

// Makes NameConversion the toolkit's conversion of file names, and switches
// character handling to UTF-8 when the locale's is not (a program started
// without a locale, as some file managers and services start it, would
// otherwise convert names as ASCII). Called before anything converts a
// name, and again once the toolkit has started, since it sets its own.
void UseUtf8ForNames();

// A command-line argument as text, by NameConversion.
wxString ArgumentText(const char* argument);

// A name as a report or a log may show it: every character that would not
// show as itself (a control character such as a line break, a byte that is
// not part of UTF-8, a code point no text can hold) becomes \xHH for each of
// its bytes (\uHHHH on Windows), so that no name can break a line or carry
// what a window cannot draw.
wxString EscapedName(const wxString& name);

#pragma once

#include <cstddef>

#include <wx/string.h>

// The key text for a typed password: the password padded with U+0002 up to
// maxChars characters, converted to the ANSI code page and written as upper-
// case hex. A password longer than maxChars is refused with a warning box and
// gives empty key text; so does one the code page cannot represent.
wxString KeyFromPassword(const wxString& password, std::size_t maxChars);

#pragma once

#include <optional>

#include <wx/string.h>

#include "2_crypto/ByteString.h"

// Conversions between the program's wide text and the bytes that keys and
// protected strings are made of. The "ANSI code page" is CP_ACP on Windows
// and the C library's current multibyte encoding (LC_CTYPE) elsewhere.

// The text's bytes, or nothing when a character has no exact form in the
// code page (a silent substitute would make different texts equal).
std::optional<ByteString> ToAnsiBytes(const wxString& text);

// The text the bytes stand for; an empty text when they are not valid in the
// code page.
wxString FromAnsiBytes(const ByteString& bytes);

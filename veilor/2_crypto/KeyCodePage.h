#pragma once

#include <optional>

#include <wx/string.h>

#include "2_crypto/ByteString.h"

// The code page that passwords become keys in and that stored passwords are
// kept in, the same on every system: Windows writes its ANSI code page, and
// elsewhere Windows-1252 keeps every byte, so a settings file from a Windows
// of another code page still gives the bytes its keys were made of.

// The text's bytes, or nothing when a character has no exact form.
std::optional<ByteString> ToKeyCodePage(const wxString& text);

// The text the bytes stand for.
wxString FromKeyCodePage(const ByteString& bytes);

#pragma once

#include <optional>

#include <wx/string.h>

#include "2_crypto/ByteString.h"

// The text in Windows-1252, the code page of the Western Windows systems on
// which passwords became keys first; nothing when a character is not in it.
std::optional<ByteString> ToWindows1252(const wxString& text);

// The text of Windows-1252 bytes; every byte stands for one character.
wxString FromWindows1252(const ByteString& bytes);

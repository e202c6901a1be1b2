#pragma once

#include <string_view>

#include <wx/string.h>

// Most of the program's stored text is plain ASCII (hexadecimal above all),
// which reads the same in UTF-8 and in every code page: it is widened
// directly, where the toolkit's decoders cost more than the rest of reading
// a long settings file.

// True when every byte is below 0x80 and none is NUL.
bool IsPlainAscii(std::string_view bytes);

// The text of bytes for which IsPlainAscii holds.
wxString WidenAscii(std::string_view bytes);

#pragma once

#include <cstddef>

#include <wx/string.h>

// The encoding of every password, prompt, name and the administrator password
// in the settings file. The text is marked with U+0001, filled up to 128
// characters with hex numbers derived from the filler number, enciphered with
// AES-128-CTR under the key table's protection key and written as hex.

// The longest text ProtectString accepts, in characters.
constexpr std::size_t kMaxProtectedChars = 125;

// Raises CSettingsException when the text is too long (125 characters at most)
// or has characters that the ANSI code page cannot store.
wxString ProtectString(const wxString& text, int filler);

// The text before the first U+0001 of the deciphered bytes (the whole text
// when there is none). Damaged input gives damaged or empty text, never an error.
wxString UnprotectString(const wxString& protectedText);

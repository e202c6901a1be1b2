#pragma once

#include <cstddef>
#include <optional>

#include <wx/string.h>

// The encoding of every password, prompt, name and the administrator password
// in the settings file. The text is marked with U+0001, filled up to 128
// characters with hex numbers derived from the filler number, enciphered with
// AES-128-CTR under the key table's protection key and written as hex.

// The longest text ProtectString accepts, in characters.
constexpr std::size_t kMaxProtectedChars = 125;

// Text is stored in Windows-1252 (the ANSI code page on Windows).

// Raises CSettingsException when the text is too long (125 characters at most)
// or has characters that the code page cannot store.
wxString ProtectString(const wxString& text, int filler);

// Whether the code page can store every character of the text.
bool CanProtectString(const wxString& text);

// The text before the first U+0001 of the deciphered value; empty for an
// empty value. Values written by earlier builds for Linux, in UTF-8, read as
// they were meant. Nothing when the value does not have the form that
// ProtectString gives (damaged): a damaged value is never some other text.
std::optional<wxString> ReadProtectedString(const wxString& protectedText);

// The same, raising CSettingsException for a damaged value.
wxString UnprotectString(const wxString& protectedText);

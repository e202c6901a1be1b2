#pragma once

#include <cstddef>

#include <wx/string.h>

// Whether a password could become a key, and why not.
enum class PasswordKeyVerdict { Made, TooLong, NotRepresentable };

struct PasswordKey {
  PasswordKeyVerdict verdict = PasswordKeyVerdict::Made;
  // Empty unless the key was made.
  wxString keyText;
};

// The key text for a typed password: its bytes in the key code page, padded
// with bytes 0x02 up to maxBytes, as upper-case hex. The key code page is the
// ANSI code page on Windows and Windows-1252 elsewhere, whatever the locale,
// so that one password gives one key on every system. Refused, with empty
// key text, when the password is longer than maxBytes bytes or has a
// character the code page lacks; showing why is the caller's business.
PasswordKey KeyFromPassword(const wxString& password, std::size_t maxBytes);

#pragma once

#include <wx/string.h>

class CAdministratorPrompt;
class CPasswordManager;
class wxWindow;

// Asks through `prompt` for the administrator password and lets `passwords`
// judge it. False when the user cancelled (nothing shown) or on a mismatch
// (after a warning); there is no retry.
bool ConfirmAdministrator(CAdministratorPrompt& prompt, const CPasswordManager& passwords);

// The same with the program's own prompt over `parent`.
bool ConfirmAdministrator(wxWindow* parent, const CPasswordManager& passwords);

// The warning a verdict on the settings dialog's administrator fields calls
// for; true when the dialog may close.
bool AcceptNewAdministratorPassword(const wxString& password, const wxString& confirmation);

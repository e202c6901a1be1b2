#pragma once

#include <optional>

#include <wx/string.h>

class CPasswordManager;
class wxWindow;

// The administrator prompt the program shows: the skinned password window
// without its browse button; nothing when the user cancelled.
std::optional<wxString> AskAdministratorPassword(wxWindow* parent);

// Asks for the administrator password and lets `passwords` judge it. False
// when the user cancelled (nothing shown) or on a mismatch (after a warning
// box); there is no retry.
bool ConfirmAdministrator(wxWindow* parent, const CPasswordManager& passwords);

// The warning a verdict on the settings dialog's administrator fields calls
// for; true when the dialog may close.
bool AcceptNewAdministratorPassword(const wxString& password, const wxString& confirmation);

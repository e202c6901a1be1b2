#pragma once

#include <wx/event.h>

#include "4_passwords/PasswordEntry.h"

// A command event whose client data is the CPasswordChanger.
wxDECLARE_EVENT(EVT_PASSWORD_CHANGED, wxCommandEvent);

// Hands the change to the parent's handler and returns once it has run, so
// the changer may live on the sender's stack. Without a parent nothing is sent.
void SendPasswordChanged(wxEvtHandler* parent, const CPasswordChanger& changer);

// The changer an EVT_PASSWORD_CHANGED event carries. Raises
// CPassManagerException when the event carries none.
const CPasswordChanger& PasswordChangerOf(const wxCommandEvent& event);

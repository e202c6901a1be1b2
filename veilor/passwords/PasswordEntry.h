#pragma once

#include <cstdint>

#include <wx/event.h>
#include <wx/object.h>
#include <wx/string.h>

// One stored password. Only the name is ever shown in lists; lookups by name
// take the first entry that matches, since names need not be unique.
class CPasswordEntry : public wxObject {
public:
  CPasswordEntry() = default;
  CPasswordEntry(const wxString& password, const wxString& prompt, const wxString& name)
      : password(password), prompt(prompt), name(name) {}

  bool operator==(const CPasswordEntry& other) const {
    return password == other.password && prompt == other.prompt && name == other.name;
  }

  wxString password;
  wxString prompt;
  wxString name;
};

// Tells the window that opened the password manager that an entry was edited
// or removed, so that a default password naming it can follow the change.
class CPasswordChanger : public wxObject {
public:
  enum Action : std::int32_t { Edited = 3, Removed = 4 };

  CPasswordChanger() = default;
  CPasswordChanger(const CPasswordEntry& oldEntry, const CPasswordEntry& newEntry,
                   std::int32_t action)
      : oldEntry(oldEntry), newEntry(newEntry), action(action) {}

  CPasswordEntry oldEntry;
  // After a removal: the entry selected in the list once the row is gone.
  CPasswordEntry newEntry;
  std::int32_t action = Edited;
};

// A command event whose client data is the CPasswordChanger.
wxDECLARE_EVENT(EVT_PASSWORD_CHANGED, wxCommandEvent);

// Hands the change to the parent's handler and returns once it has run, so
// the changer may live on the sender's stack. Without a parent nothing is sent.
void SendPasswordChanged(wxEvtHandler* parent, const CPasswordChanger& changer);

// The changer an EVT_PASSWORD_CHANGED event carries. Raises
// CPassManagerException when the event carries none.
const CPasswordChanger& PasswordChangerOf(const wxCommandEvent& event);

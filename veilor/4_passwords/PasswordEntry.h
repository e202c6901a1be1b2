#pragma once

#include <cstdint>

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

#pragma once

#include <map>

#include <wx/object.h>
#include <wx/string.h>

#include "3_settings/SettingsItem.h"

// A set of items addressed by ID. A static group declares its items here; a
// dynamic group starts empty and gets its items from the file.
class rkSettingsGroup : public wxObject {
public:
  // Both raise rkSettingsException when the ID is already in the group.
  void AddString(const wxString& name, int id, const wxString& defaultValue);
  void AddBool(const wxString& name, int id, bool defaultValue);

  wxString name;  // full path in the file, set when the group joins a store
  std::map<int, rkSettingsItem> items;

private:
  void Add(int id, const rkSettingsItem& item);
};

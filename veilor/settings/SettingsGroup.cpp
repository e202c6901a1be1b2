#include "settings/SettingsGroup.h"

#include "core/Exceptions.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"

void rkSettingsGroup::AddString(const wxString& name, int id, const wxString& defaultValue) {
  Add(id, rkSettingsItem(name, rkSettingsString, defaultValue));
}

void rkSettingsGroup::AddBool(const wxString& name, int id, bool defaultValue) {
  Add(id, rkSettingsItem(name, rkSettingsBool, wxString(), 0, 0.0, defaultValue));
}

void rkSettingsGroup::Add(int id, const rkSettingsItem& item) {
  if (!items.emplace(id, item).second) {
    throw rkSettingsException(Msg(msg::SettingsDuplicateItem));
  }
}

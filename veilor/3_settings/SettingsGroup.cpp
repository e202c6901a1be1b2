#include "3_settings/SettingsGroup.h"

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

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

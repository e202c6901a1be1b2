#include "3_settings/SettingReference.h"

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "3_settings/Settings.h"

namespace {
rkSettings& Store(rkSettings* store) {
  if (store == nullptr) throw rkSettingsException(Msg(msg::SettingsWrongQuery));
  return *store;
}
}  // namespace

void CStringSetting::Bind(rkSettings& store, int groupId, int itemId) {
  store.GetString(groupId, itemId, cached_);
  store_ = &store;
  groupId_ = groupId;
  itemId_ = itemId;
}

wxString CStringSetting::Get() {
  Store(store_).GetString(groupId_, itemId_, cached_);
  return cached_;
}

void CStringSetting::Set(const wxString& value) {
  Store(store_).SetString(groupId_, itemId_, value);
  cached_ = value;
}

void CBoolSetting::Bind(rkSettings& store, int groupId, int itemId) {
  store.GetBool(groupId, itemId, cached_);
  store_ = &store;
  groupId_ = groupId;
  itemId_ = itemId;
}

bool CBoolSetting::Get() {
  Store(store_).GetBool(groupId_, itemId_, cached_);
  return cached_;
}

void CBoolSetting::Set(bool value) {
  Store(store_).SetBool(groupId_, itemId_, value);
  cached_ = value;
}

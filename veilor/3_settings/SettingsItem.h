#pragma once

#include <cstdint>

#include <wx/object.h>
#include <wx/string.h>

enum rkSettingsItemType : std::uint8_t {
  rkSettingsString = 1,
  rkSettingsLong = 2,
  rkSettingsDouble = 3,
  rkSettingsBool = 4,
};

// One setting: its key in the file, its type, and a value field per type of
// which only the one named by the type is meaningful.
class rkSettingsItem : public wxObject {
public:
  rkSettingsItem(const wxString& name, std::uint8_t type, const wxString& stringValue = wxString(),
                 std::int32_t longValue = 0, double doubleValue = 0.0, bool boolValue = false)
      : name(name),
        type(type),
        stringValue(stringValue),
        longValue(longValue),
        doubleValue(doubleValue),
        boolValue(boolValue) {}

  wxString name;
  std::uint8_t type;
  wxString stringValue;
  std::int32_t longValue;
  double doubleValue;
  bool boolValue;
};

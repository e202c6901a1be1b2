#pragma once

#include <wx/string.h>

class rkSettings;

// A handle on one setting. Every Get goes back to the store, so a change made
// anywhere during the run is seen at the next read. Until bound, the IDs are
// -1 and every access raises "Internal error. Wrong value query".
class CStringSetting {
public:
  // Names the item and reads its current value.
  void Bind(rkSettings& store, int groupId, int itemId);
  wxString Get();
  void Set(const wxString& value);

private:
  rkSettings* store_ = nullptr;
  wxString cached_;
  int groupId_ = -1;
  int itemId_ = -1;
};

class CBoolSetting {
public:
  void Bind(rkSettings& store, int groupId, int itemId);
  bool Get();
  void Set(bool value);

private:
  rkSettings* store_ = nullptr;
  bool cached_ = false;
  int groupId_ = -1;
  int itemId_ = -1;
};

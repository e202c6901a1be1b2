#pragma once

#include <map>
#include <mutex>

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include "settings/IniDocument.h"
#include "settings/SettingsGroup.h"

// Typed settings in groups, kept in memory and backed by one ini file.
// The file is read when the store is built and written back as a whole by
// Save (or, failing an explicit Save, when the store is destroyed), always by
// replacing it atomically so that an interrupted write never truncates it.
class rkSettings : public wxObject {
public:
  // Reads the file; a missing file gives an empty store. Raises
  // rkSettingsException when the file exists but cannot be read or parsed,
  // so that a damaged file is reported and never overwritten.
  explicit rkSettings(const wxString& path);
  ~rkSettings() override;

  rkSettings(const rkSettings&) = delete;
  rkSettings& operator=(const rkSettings&) = delete;

  // Registers a copy of the group as "/StaticGroup<path>" or "/DynamicGroup<path>".
  void AddGroup(const rkSettingsGroup& group, int id, bool isStatic, const wxString& path);

  // Fills the registered groups from the file.
  bool Load();

  bool GetString(int groupId, int itemId, wxString& out);
  bool GetBool(int groupId, int itemId, bool& out);
  bool SetString(int groupId, int itemId, const wxString& value);
  bool SetBool(int groupId, int itemId, bool value);

  bool GetDynamicGroup(int groupId, wxArrayString& out);
  bool SetDynamicGroup(int groupId, const wxArrayString& values);

  // Writes every group back to the file. Raises rkSettingsException when the
  // file cannot be written; the previous file is then left untouched.
  void Save();

  const wxString& GetPath() const { return path_; }

private:
  rkSettingsItem& ItemAt(int groupId, int itemId);
  rkSettingsGroup& GroupAt(int groupId);

  std::recursive_mutex lock_;
  wxString path_;
  IniDocument document_;
  std::map<int, rkSettingsGroup> groups_;
  bool saved_ = false;
};

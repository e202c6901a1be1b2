#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include "3_settings/IniDocument.h"
#include "3_settings/SettingsGroup.h"

// Typed settings in groups, kept in memory and backed by one ini file.
// The file is read when the store is built. Save (or, failing an explicit
// Save, the destructor) puts what this store changed since onto the file as it
// is then, so that programs running at the same time keep each other's
// changes; the file is always replaced atomically so that an interrupted write
// never truncates it.
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
  // A dynamic group's values in order without copying them out, for long
  // lists; the same checks as GetDynamicGroup.
  std::size_t DynamicGroupSize(int groupId);
  void VisitDynamicGroup(int groupId, const std::function<void(const wxString&)>& visit);

  // Under the settings file's lock, reads the file back and writes onto it
  // the values changed since the last load or save (a changed dynamic group
  // whole) and the defaults of items it lacks; writes nothing when there are
  // none. A file reached through a link is written where the link points.
  // Raises rkSettingsException when the file cannot be read back, is
  // damaged, stays locked, is read-only while this run changed a value, or
  // cannot be written; the file is then left untouched. The dynamic groups
  // are one list: when this run changed them and another run changed them
  // on file since, the static groups are still saved, the dynamic groups are
  // reloaded from the file and rkSettingsException says so.
  void Save();

  // True when a save found the file read-only and left it so, having only
  // defaults of missing items to add.
  bool KeptReadOnly() const { return keptReadOnly_; }

  const wxString& GetPath() const { return path_; }

private:
  rkSettingsItem& ItemAt(int groupId, int itemId);
  rkSettingsGroup& GroupAt(int groupId);
  bool HasChanges() const;
  bool Changed(int groupId, const rkSettingsGroup& group) const;
  // Takes the groups as they are now as the ones changes are made against.
  void KeepAsLoaded();
  // Fills a dynamic group from the document's section, taking it out.
  void LoadDynamicGroup(int id, rkSettingsGroup& group, IniDocument& document);
  // Whether a dynamic group on file differs from what this run last read or
  // wrote there.
  bool DynamicGroupsChangedOnFile(const IniDocument& document) const;

  wxString path_;
  IniDocument document_;
  std::map<int, rkSettingsGroup> groups_;
  std::map<int, rkSettingsGroup> loaded_;  // as last loaded or saved: what changes are made against
  // Dynamic groups not set since they were loaded or saved: their loaded_
  // entry holds no items, a long list being costly to hold twice; the first
  // SetDynamicGroup moves the items there.
  std::set<int> unchanged_;
  // Each dynamic group's fingerprint as last read from or written to the file.
  std::map<int, std::uint64_t> onFile_;
  bool saved_ = false;
  bool keptReadOnly_ = false;
};

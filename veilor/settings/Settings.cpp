#include "settings/Settings.h"

#include <cstdio>

#include <wx/convauto.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/textfile.h>

#include "core/AtomicFileWriter.h"
#include "core/Exceptions.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"

namespace {

const wxString kStaticPrefix = "/StaticGroup";
const wxString kDynamicPrefix = "/DynamicGroup";

// The file's text, or an empty text when there is no file yet.
wxString ReadSettingsText(const wxString& path) {
  if (!wxFileName::Exists(path)) return wxString();
  wxFile file;
  wxMemoryBuffer bytes;
  bool ok = !wxFileName::DirExists(path) && file.Open(path, wxFile::read);
  if (ok) {
    const wxFileOffset length = file.Length();
    ok = length >= 0 && file.Read(bytes.GetWriteBuf(static_cast<std::size_t>(length)),
                                  static_cast<std::size_t>(length)) == static_cast<ssize_t>(length);
    if (ok) bytes.UngetWriteBuf(static_cast<std::size_t>(length));
  }
  if (!ok) throw rkSettingsException(Msg(msg::SettingsReadError) + path);
  if (bytes.GetDataLen() == 0) return wxString();

  const wxString text(static_cast<const char*>(bytes.GetData()), wxConvAuto(), bytes.GetDataLen());
  if (text.empty()) throw rkSettingsException(Msg(msg::SettingsDamaged) + path);
  return text;
}

IniDocument ParseSettingsText(const wxString& text, const wxString& path) {
  try {
    return IniDocument::Parse(text);
  } catch (const IniDocument::SyntaxError& error) {
    throw rkSettingsException(Msg(msg::SettingsDamaged) + path +
                              wxString::Format(" (line %zu)", error.line));
  }
}

wxString SectionOf(const rkSettingsGroup& group) { return group.name.Mid(1); }

void ReadItem(rkSettingsItem& item, const wxString& text) {
  long number = 0;
  double real = 0.0;
  switch (item.type) {
    case rkSettingsString: item.stringValue = text; break;
    case rkSettingsLong:
      if (text.ToLong(&number)) item.longValue = static_cast<std::int32_t>(number);
      break;
    case rkSettingsDouble:
      if (text.ToCDouble(&real)) item.doubleValue = real;
      break;
    case rkSettingsBool:
      // Any number counts, non-zero meaning true; anything else keeps the default.
      if (text.ToLong(&number)) item.boolValue = number != 0;
      break;
    default: break;
  }
}

bool WriteItem(const rkSettingsItem& item, wxString& text) {
  switch (item.type) {
    case rkSettingsString: text = item.stringValue; return true;
    case rkSettingsLong: text = wxString::Format("%d", item.longValue); return true;
    case rkSettingsDouble: text = wxString::FromCDouble(item.doubleValue); return true;
    case rkSettingsBool: text = item.boolValue ? "1" : "0"; return true;
    default: return false;
  }
}

}  // namespace

rkSettings::rkSettings(const wxString& path)
    : path_(path), document_(ParseSettingsText(ReadSettingsText(path), path)) {}

rkSettings::~rkSettings() {
  if (saved_) return;
  try {
    Save();
  } catch (const rkException& error) {
    // Nothing can be shown this late; the caller that wants to report a
    // failed write calls Save itself before destroying the store.
    std::fprintf(stderr, "%s\n", static_cast<const char*>(error.GetMessage().utf8_str()));
  }
}

void rkSettings::AddGroup(const rkSettingsGroup& group, int id, bool isStatic,
                          const wxString& path) {
  if (groups_.count(id) != 0) throw rkSettingsException(Msg(msg::SettingsDuplicateGroup));
  rkSettingsGroup copy = group;
  copy.name = (isStatic ? kStaticPrefix : kDynamicPrefix) + path;
  groups_.emplace(id, std::move(copy));
}

bool rkSettings::Load() {
  std::lock_guard guard(lock_);
  for (auto& [id, group] : groups_) {
    const wxString section = SectionOf(group);
    if (group.name.StartsWith(kStaticPrefix)) {
      for (auto& [itemId, item] : group.items) {
        if (const auto value = document_.Value(section, item.name)) ReadItem(item, *value);
      }
    } else if (group.name.StartsWith(kDynamicPrefix)) {
      int count = 0;
      for (const IniDocument::Entry& entry : document_.Entries(section)) {
        group.items.emplace(count++, rkSettingsItem(entry.key, rkSettingsString, entry.value));
      }
    }
  }
  return true;
}

rkSettingsGroup& rkSettings::GroupAt(int groupId) {
  const auto group = groups_.find(groupId);
  if (group == groups_.end()) throw rkSettingsException(Msg(msg::SettingsWrongGroup));
  return group->second;
}

rkSettingsItem& rkSettings::ItemAt(int groupId, int itemId) {
  const auto group = groups_.find(groupId);
  if (group != groups_.end()) {
    const auto item = group->second.items.find(itemId);
    if (item != group->second.items.end()) return item->second;
  }
  throw rkSettingsException(Msg(msg::SettingsWrongQuery));
}

bool rkSettings::GetString(int groupId, int itemId, wxString& out) {
  std::lock_guard guard(lock_);
  out = ItemAt(groupId, itemId).stringValue;
  return true;
}

bool rkSettings::GetBool(int groupId, int itemId, bool& out) {
  std::lock_guard guard(lock_);
  out = ItemAt(groupId, itemId).boolValue;
  return true;
}

bool rkSettings::SetString(int groupId, int itemId, const wxString& value) {
  std::lock_guard guard(lock_);
  ItemAt(groupId, itemId).stringValue = value;
  saved_ = false;
  return true;
}

bool rkSettings::SetBool(int groupId, int itemId, bool value) {
  std::lock_guard guard(lock_);
  ItemAt(groupId, itemId).boolValue = value;
  saved_ = false;
  return true;
}

bool rkSettings::GetDynamicGroup(int groupId, wxArrayString& out) {
  const rkSettingsGroup& group = GroupAt(groupId);
  out.clear();
  for (const auto& [itemId, item] : group.items) {
    if (item.type != rkSettingsString) {
      throw rkSettingsException(Msg(msg::SettingsDynamicNotString));
    }
    out.push_back(item.stringValue);
  }
  return true;
}

bool rkSettings::SetDynamicGroup(int groupId, const wxArrayString& values) {
  rkSettingsGroup& group = GroupAt(groupId);
  group.items.clear();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const wxString name = wxString::Format("%s%d", Msg(msg::ItemKeyPrefix), static_cast<int>(i));
    group.items.emplace(static_cast<int>(i), rkSettingsItem(name, rkSettingsString, values[i]));
  }
  saved_ = false;
  return true;
}

void rkSettings::Save() {
  std::lock_guard guard(lock_);
  for (const auto& [id, group] : groups_) {
    std::vector<IniDocument::Entry> entries;
    for (const auto& [itemId, item] : group.items) {
      wxString text;
      if (WriteItem(item, text)) entries.push_back({item.name, text});
    }
    document_.ReplaceSection(SectionOf(group), entries);
  }

  const wxString text = document_.Serialize(wxTextFile::GetEOL());
  const wxScopedCharBuffer bytes = text.utf8_str();
  AtomicFileWriter writer(path_);
  if (!writer.Open() || !writer.Write(bytes.data(), bytes.length()) || !writer.Commit()) {
    throw rkSettingsException(Msg(msg::SettingsWriteError) + path_);
  }
  saved_ = true;
}

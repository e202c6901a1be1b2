#include "3_settings/Settings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include <wx/convauto.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/textfile.h>

#ifndef __WINDOWS__
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

#include "1_base/AtomicFileWriter.h"
#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "3_settings/SettingsFileLock.h"

namespace {

const wxString kStaticPrefix = "/StaticGroup";
const wxString kDynamicPrefix = "/DynamicGroup";

#ifdef __WINDOWS__

// The file's bytes, or none when there is no file yet.
std::string ReadSettingsBytes(const wxString& path) {
  if (!wxFileName::Exists(path)) return std::string();
  wxFile file;
  std::string bytes;
  bool ok = !wxFileName::DirExists(path);
  if (ok) {
    // A file another program holds open is reported as the program's own
    // error, without the toolkit's box before it.
    wxLogNull quiet;
    ok = file.Open(path, wxFile::read);
  }
  if (ok) {
    const wxFileOffset length = file.Length();
    ok = length >= 0;
    if (ok) {
      bytes.resize(static_cast<std::size_t>(length));
      ok = file.Read(bytes.data(), bytes.size()) == static_cast<ssize_t>(length);
    }
  }
  if (!ok) throw rkSettingsException(Msg(msg::SettingsReadError) + path);
  return bytes;
}

#else

// The file's bytes, or none when there is no file yet. Opened without
// blocking: a FIFO in its place would wait for a writer forever.
std::string ReadSettingsBytes(const wxString& path) {
  const int fd = ::open(path.fn_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    // No file there, or no folder for one (a home that cannot hold the
    // settings): the run goes on with the defaults and says so when saving.
    if (errno == ENOENT || errno == ENOTDIR) return std::string();
    throw rkSettingsException(Msg(msg::SettingsReadError) + path);
  }
  struct stat status = {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    throw rkSettingsException(Msg(msg::SettingsNotRegularFile) + path);
  }
  std::string bytes;
  char buffer[65536];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      throw rkSettingsException(Msg(msg::SettingsReadError) + path);
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

#endif

// The file a save writes: the target of a link, so that a settings file kept
// elsewhere through a link stays there.
wxString WriteTarget(const wxString& path) {
#ifndef __WINDOWS__
  struct stat status = {};
  if (::lstat(path.fn_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    if (char* resolved = ::realpath(path.fn_str(), nullptr)) {
      const wxString target = wxString(resolved, *wxConvFileName);
      std::free(resolved);
      return target;
    }
  }
#endif
  return path;
}

// Whether the file is there and marked read-only (by its mode, which even
// an administrator's run respects).
bool IsReadOnly(const wxString& path) {
#ifdef __WINDOWS__
  return wxFileName::FileExists(path) && !wxFileName::IsFileWritable(path);
#else
  struct stat status = {};
  return ::stat(path.fn_str(), &status) == 0 &&
         (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
#endif
}

// A dynamic group as it stands, keys and values, for telling whether another
// run changed it on file since this one read it.
class Fingerprint {
public:
  void Add(const wxString& key, const wxString& value) {
    Mix(key);
    Mix(value);
  }
  std::uint64_t Value() const { return hash_; }

private:
  void Mix(const wxString& text) {
    for (const wxUniChar c : text) Step(c.GetValue());
    Step(0xFFFFFFFFu);  // ends the text: "ab","c" differs from "a","bc"
  }
  void Step(std::uint32_t unit) {
    hash_ ^= unit;
    hash_ *= 0x100000001B3ull;
  }
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

std::uint64_t FingerprintOf(const std::vector<IniDocument::Entry>& entries) {
  Fingerprint print;
  for (const IniDocument::Entry& entry : entries) print.Add(entry.key, entry.value);
  return print.Value();
}

// Whether the text may start with a byte-order mark, which only the toolkit's
// detection of the encoding reads right.
bool MayHaveByteOrderMark(const std::string& bytes) {
  const auto first = static_cast<unsigned char>(bytes[0]);
  return first == 0xEF || first == 0xFE || first == 0xFF || first == 0x00;
}

IniDocument ParseSettings(const std::string& bytes, const wxString& path) {
  try {
    if (bytes.empty()) return IniDocument::Parse(wxString());
    // The file as this program writes it, UTF-8 without a mark, is read line
    // by line; anything else goes through the toolkit's detection whole.
    if (!MayHaveByteOrderMark(bytes)) {
      if (std::optional<IniDocument> document = IniDocument::ParseUtf8(bytes)) {
        return std::move(*document);
      }
    }
    const wxString text(bytes.data(), wxConvAuto(), bytes.size());
    if (text.empty()) throw rkSettingsException(Msg(msg::SettingsDamaged) + path);
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

// Items compare by what would be written for them, so that setting a value
// to what it already was is no change.
bool SameItem(const rkSettingsItem& a, const rkSettingsItem& b) {
  wxString textA, textB;
  const bool writtenA = WriteItem(a, textA);
  const bool writtenB = WriteItem(b, textB);
  return a.name == b.name && writtenA == writtenB && textA == textB;
}

bool IsStatic(const rkSettingsGroup& group) { return group.name.StartsWith(kStaticPrefix); }

// A static group whose file section lacks one of its items: the defaults of
// a first start, or of items added since the file was written, are filled in.
bool LacksItems(const rkSettingsGroup& group, const IniDocument& document) {
  if (!IsStatic(group)) return false;
  for (const auto& [itemId, item] : group.items) {
    if (!document.Value(SectionOf(group), item.name)) return true;
  }
  return false;
}

bool ItemChanged(const rkSettingsGroup& before, int itemId, const rkSettingsItem& item) {
  const auto old = before.items.find(itemId);
  return old == before.items.end() || !SameItem(old->second, item);
}

bool GroupChanged(const rkSettingsGroup& before, const rkSettingsGroup& now) {
  if (before.items.size() != now.items.size()) return true;
  for (const auto& [itemId, item] : now.items) {
    if (ItemChanged(before, itemId, item)) return true;
  }
  return false;
}

std::vector<IniDocument::Entry> EntriesOf(const rkSettingsGroup& group) {
  std::vector<IniDocument::Entry> entries;
  for (const auto& [itemId, item] : group.items) {
    wxString text;
    if (WriteItem(item, text)) entries.push_back({item.name, text});
  }
  return entries;
}

// Puts this run's changes to one group onto the document read back from the
// file; true when the document changed. A static group is rewritten with the
// values on file for the items this run left alone (keys it does not declare
// go); a changed dynamic group replaces the one on file whole.
bool MergeGroup(const rkSettingsGroup& before, const rkSettingsGroup& now, IniDocument& document) {
  const wxString section = SectionOf(now);
  if (!IsStatic(now)) {
    if (!GroupChanged(before, now)) return false;
    document.ReplaceSection(section, EntriesOf(now));
    return true;
  }
  bool touched = false;
  std::vector<IniDocument::Entry> entries;
  for (const auto& [itemId, item] : now.items) {
    wxString text;
    if (!WriteItem(item, text)) continue;
    const auto onFile = document.Value(section, item.name);
    if (onFile && !ItemChanged(before, itemId, item)) {
      text = *onFile;
    } else {
      touched = true;
    }
    entries.push_back({item.name, text});
  }
  if (touched) document.ReplaceSection(section, entries);
  return touched;
}

IniDocument ReadSettings(const wxString& path) {
  // Without a lock file (a folder not made yet) the file is read all the same.
  SettingsFileLock lock(path);
  if (lock.TimedOut()) throw rkSettingsException(Msg(msg::SettingsLocked) + lock.LockPath());
  return ParseSettings(ReadSettingsBytes(path), path);
}

}  // namespace

rkSettings::rkSettings(const wxString& path) : path_(path), document_(ReadSettings(path)) {}

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
  loaded_.emplace(id, copy);
  groups_.emplace(id, std::move(copy));
}

bool rkSettings::Load() {
  for (auto& [id, group] : groups_) {
    const wxString section = SectionOf(group);
    if (group.name.StartsWith(kStaticPrefix)) {
      for (auto& [itemId, item] : group.items) {
        if (const auto value = document_.Value(section, item.name)) ReadItem(item, *value);
      }
    } else if (group.name.StartsWith(kDynamicPrefix)) {
      LoadDynamicGroup(id, group, document_);
    }
  }
  KeepAsLoaded();
  return true;
}

void rkSettings::LoadDynamicGroup(int id, rkSettingsGroup& group, IniDocument& document) {
  group.items.clear();
  int count = 0;
  Fingerprint print;
  // Only static sections are looked at again (for the items they lack): a
  // long list is taken out of the document, not held twice. The toolkit's
  // strings have no move, so the texts are swapped into place.
  for (IniDocument::Entry& entry : document.TakeEntries(SectionOf(group))) {
    print.Add(entry.key, entry.value);
    const auto added = group.items.emplace_hint(
        group.items.end(), std::piecewise_construct, std::forward_as_tuple(count++),
        std::forward_as_tuple(wxString(), rkSettingsString));
    added->second.name.swap(entry.key);
    added->second.stringValue.swap(entry.value);
  }
  onFile_[id] = print.Value();
}

void rkSettings::KeepAsLoaded() {
  loaded_.clear();
  unchanged_.clear();
  for (const auto& [id, group] : groups_) {
    if (IsStatic(group)) {
      loaded_.emplace(id, group);
      continue;
    }
    rkSettingsGroup named;
    named.name = group.name;
    loaded_.emplace(id, std::move(named));
    unchanged_.insert(id);
  }
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
  out = ItemAt(groupId, itemId).stringValue;
  return true;
}

bool rkSettings::GetBool(int groupId, int itemId, bool& out) {
  out = ItemAt(groupId, itemId).boolValue;
  return true;
}

bool rkSettings::SetString(int groupId, int itemId, const wxString& value) {
  ItemAt(groupId, itemId).stringValue = value;
  saved_ = false;
  return true;
}

bool rkSettings::SetBool(int groupId, int itemId, bool value) {
  ItemAt(groupId, itemId).boolValue = value;
  saved_ = false;
  return true;
}

bool rkSettings::GetDynamicGroup(int groupId, wxArrayString& out) {
  const rkSettingsGroup& group = GroupAt(groupId);
  out.clear();
  // The toolkit's array grows by a fixed step once large: reserving keeps a
  // long list from being copied over and over.
  out.reserve(group.items.size());
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
  if (unchanged_.erase(groupId) != 0) {
    loaded_[groupId].items.swap(group.items);
  }
  group.items.clear();
  const wxString prefix = Msg(msg::ItemKeyPrefix);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const wxString name = wxString::Format("%s%d", prefix, static_cast<int>(i));
    group.items.emplace_hint(group.items.end(), static_cast<int>(i),
                             rkSettingsItem(name, rkSettingsString, values[i]));
  }
  saved_ = false;
  return true;
}

std::size_t rkSettings::DynamicGroupSize(int groupId) { return GroupAt(groupId).items.size(); }

void rkSettings::VisitDynamicGroup(int groupId, const std::function<void(const wxString&)>& visit) {
  const rkSettingsGroup& group = GroupAt(groupId);
  for (const auto& [itemId, item] : group.items) {
    if (item.type != rkSettingsString) {
      throw rkSettingsException(Msg(msg::SettingsDynamicNotString));
    }
  }
  for (const auto& [itemId, item] : group.items) visit(item.stringValue);
}

bool rkSettings::Changed(int groupId, const rkSettingsGroup& group) const {
  if (unchanged_.count(groupId) != 0) return false;
  const auto before = loaded_.find(groupId);
  return before == loaded_.end() || GroupChanged(before->second, group);
}

bool rkSettings::HasChanges() const {
  return std::any_of(groups_.begin(), groups_.end(),
                     [this](const auto& group) { return Changed(group.first, group.second); });
}

bool rkSettings::DynamicGroupsChangedOnFile(const IniDocument& document) const {
  for (const auto& [id, group] : groups_) {
    if (IsStatic(group)) continue;
    const auto loaded = onFile_.find(id);
    const std::uint64_t before = loaded == onFile_.end() ? FingerprintOf({}) : loaded->second;
    if (FingerprintOf(document.Entries(SectionOf(group))) != before) return true;
  }
  return false;
}

void rkSettings::Save() {
  const bool lacking = std::any_of(groups_.begin(), groups_.end(), [this](const auto& group) {
    return LacksItems(group.second, document_);
  });
  const bool changed = HasChanges();
  if (!changed && !lacking) {
    saved_ = true;
    return;
  }

  // Another run may have stored settings since this one read the file: only
  // this run's changes go onto the file as it is now.
  SettingsFileLock fileLock(path_);
  if (fileLock.TimedOut()) {
    throw rkSettingsException(Msg(msg::SettingsLocked) + fileLock.LockPath());
  }
  if (!fileLock.Held()) throw rkSettingsException(Msg(msg::SettingsWriteError) + path_);
  const wxString target = WriteTarget(path_);
  if (IsReadOnly(target)) {
    // Defaults missing from a file the user made read-only are not worth
    // an error; a change this run made is.
    if (changed) throw rkSettingsException(Msg(msg::SettingsReadOnly) + path_);
    keptReadOnly_ = true;
    saved_ = true;
    return;
  }
  IniDocument document = ParseSettings(ReadSettingsBytes(path_), path_);
  // The dynamic groups hold one list between them (a password, its prompt
  // and its name at the same position): when this run changed any of them,
  // another run's change to any of them since this one read them means that
  // merging would pair entries wrongly, so this run's change is refused.
  const bool anyDynamicChanged =
      std::any_of(groups_.begin(), groups_.end(), [this](const auto& group) {
        return !IsStatic(group.second) && Changed(group.first, group.second);
      });
  const bool conflict = anyDynamicChanged && DynamicGroupsChangedOnFile(document);
  bool touched = false;
  for (const auto& [id, group] : groups_) {
    if (unchanged_.count(id) != 0) continue;
    if (conflict && !IsStatic(group)) continue;
    const auto before = loaded_.find(id);
    touched |=
        MergeGroup(before != loaded_.end() ? before->second : rkSettingsGroup(), group, document);
  }

  if (touched) {
    const wxString text = document.Serialize(wxTextFile::GetEOL());
    const wxScopedCharBuffer bytes = text.utf8_str();
    AtomicFileWriter writer(target);
    if (!writer.Open() || !writer.Write(bytes.data(), bytes.length()) || !writer.Commit()) {
      throw rkSettingsException(Msg(msg::SettingsWriteError) + path_);
    }
  }
  // What the lists this run holds stand on, for its next save: the file's
  // after a conflict (reloaded), this run's own otherwise (a list another
  // run changed meanwhile that this one left alone then differs, and a
  // change made to it later is refused).
  for (auto& [id, group] : groups_) {
    if (IsStatic(group)) continue;
    if (conflict) {
      LoadDynamicGroup(id, group, document);
    } else {
      onFile_[id] = FingerprintOf(EntriesOf(group));
    }
  }
  document_ = std::move(document);
  KeepAsLoaded();
  saved_ = true;
  if (conflict) throw rkSettingsException(Msg(msg::PasswordListChangedElsewhere));
}

#include "tool/FileManagerMenus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "script/AtomicFile.h"
#include "script/Registry.h"
#include "script/RegistryValues.h"
#include "tool/DesktopMenu.h"
#include "tool/DolphinMenu.h"
#include "tool/MenuFile.h"
#include "tool/NautilusExtension.h"
#include "tool/NautilusMenu.h"
#include "tool/NemoMenu.h"
#include "tool/ThunarMenu.h"

namespace {

constexpr char kFile[] = "File";
constexpr char kFolder[] = "Folder";
constexpr char kThunar[] = "Thunar";
constexpr char kThunarMade[] = "ThunarMade";

// What one install wrote, in the order it was written.
struct Record {
  std::vector<std::string> files;
  std::vector<std::string> folders;  // made by us, parents first
  std::string thunar;                // the uca.xml that holds our actions
  bool thunarMade = false;           // ... which was not there before
};

std::vector<std::string> Series(const ValueList& values, const std::string& prefix) {
  std::vector<std::string> series;
  for (std::size_t i = 0;; ++i) {
    const RegistryValue* value = values.Find(prefix + std::to_string(i));
    if (value == nullptr || value->type != kRegSz || value->data.empty()) break;
    series.push_back(value->data.substr(0, value->data.size() - 1));
  }
  return series;
}

Record ReadRecord(Registry& registry) {
  Record record;
  const auto key = registry.OpenKey(kMenuRecordKeyPath, Registry::Access::kRead);
  if (!key) return record;
  const auto values = key->ReadValues();
  if (!values) return record;
  record.files = Series(*values, kFile);
  record.folders = Series(*values, kFolder);
  const auto thunar = Series(*values, kThunar);
  if (!thunar.empty()) record.thunar = thunar.front();
  record.thunarMade = !Series(*values, kThunarMade).empty();
  return record;
}

bool WriteRecord(Registry& registry, const Record& record) {
  const auto key = registry.CreateKey(kMenuRecordKeyPath);
  if (!key) return false;
  ValueList values;
  const auto add = [&values](const std::string& name, const std::string& text) {
    values.Set(name, kRegSz, std::string(text) + '\0');
  };
  for (std::size_t i = 0; i < record.files.size(); ++i)
    add(kFile + std::to_string(i), record.files[i]);
  for (std::size_t i = 0; i < record.folders.size(); ++i)
    add(kFolder + std::to_string(i), record.folders[i]);
  if (!record.thunar.empty()) add(std::string(kThunar) + "0", record.thunar);
  if (record.thunarMade) add(std::string(kThunarMade) + "0", "yes");
  return key->ReplaceValues(values);
}

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// Makes the folder and its missing parents, noting those it made.
bool MakeFolders(const std::string& folder, Record& record) {
  if (folder.empty() || Exists(folder)) return true;
  const std::size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash), record))
    return false;
  if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  record.folders.push_back(folder);
  return true;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

bool WriteFile(const MenuFile& file, Record& record, std::ostream& err) {
  std::string present;
  if (Exists(file.path) &&
      !(ReadWholeFile(file.path, present) && present.find(kWrittenByQxm) != std::string::npos)) {
    err << "qxm: " << file.path << " is not qxm's and stays; its entry is left out\n";
    return true;
  }
  if (!MakeFolders(FolderOf(file.path), record) ||
      !ReplaceFileAtomically(file.path, file.content) ||
      ::chmod(file.path.c_str(), file.executable ? 0755 : 0644) != 0) {
    err << "qxm: cannot write " << file.path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  record.files.push_back(file.path);
  return true;
}

// Our actions into uca.xml, or out of it for empty actions.
bool MergeThunar(const std::string& path, const std::string& defaults, const std::string& actions,
                 Record& record, std::ostream& err) {
  std::string text;
  std::optional<std::string> existing;
  if (ReadWholeFile(path, text)) {
    existing = text;
  } else if (Exists(path)) {
    err << "qxm: cannot read " << path << ": " << std::strerror(errno) << '\n';
    return false;
  } else if (actions.empty()) {
    return true;
  } else if (!defaults.empty() && ReadWholeFile(defaults, text)) {
    existing = text;
  }
  const auto merged = MergeThunarActions(existing, actions);
  if (!merged) {
    err << "qxm: " << path << " is not a list of Thunar actions and stays as it is\n";
    return false;
  }
  if (existing && *merged == *existing && actions.empty()) return true;
  if (!MakeFolders(FolderOf(path), record) || !ReplaceFileAtomically(path, *merged)) {
    err << "qxm: cannot write " << path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  if (!actions.empty()) {
    record.thunar = path;
    record.thunarMade = !existing;
  }
  return true;
}

bool Remove(const Record& record, std::ostream& err) {
  bool ok = true;
  if (!record.thunar.empty()) {
    Record ignored;
    ok = MergeThunar(record.thunar, {}, {}, ignored, err);
    // A file we made goes again once it lists nothing.
    std::string left;
    if (ok && record.thunarMade && ReadWholeFile(record.thunar, left) &&
        left == *MergeThunarActions(std::nullopt, {})) {
      ::unlink(record.thunar.c_str());
    }
  }
  for (const std::string& file : record.files) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
      err << "qxm: cannot remove " << file << ": " << std::strerror(errno) << '\n';
      ok = false;
    }
  }
  // Innermost first; a folder that holds something else stays.
  for (auto folder = record.folders.rbegin(); folder != record.folders.rend(); ++folder) {
    ::rmdir(folder->c_str());
  }
  return ok;
}

void DeleteRecord(Registry& registry) {
  const std::string path = kMenuRecordKeyPath;
  const std::size_t slash = path.rfind('\\');
  if (const auto parent = registry.OpenKey(path.substr(0, slash), Registry::Access::kWrite)) {
    parent->DeleteSubkey(path.substr(slash + 1));
  }
}

}  // namespace

bool InstallMenus(const MenuScript& script, const MenuFolders& folders, Registry& registry,
                  std::ostream& out, std::ostream& err) {
  if (!UninstallMenus(registry, err)) return false;
  std::vector<std::string> problems;
  const DesktopMenu menu = BuildDesktopMenu(script, problems);
  for (const std::string& problem : problems) err << problem << '\n';

  Losses losses;
  MenuFiles files;
  if (!folders.nautilusScripts.empty()) {
    files = NautilusFiles(menu, folders.nautilusScripts, losses);
  } else if (!folders.nautilusExtensions.empty() && Exists(folders.nautilusExtensions)) {
    files = NautilusExtensionFiles(menu, folders.nautilusExtensions, losses);
  } else {
    losses.insert(
        "Nautilus: shows a menu for all users with python3-nautilus only; without it a user gets "
        "one with qxm install FILE");
  }
  for (MenuFiles more : {NemoFiles(menu, folders.nemoActions, losses),
                         DolphinFiles(menu, folders.dolphinServiceMenus, losses)}) {
    files.insert(files.end(), more.begin(), more.end());
  }
  const std::string actions = ThunarActions(menu, losses);

  Record record;
  bool ok = true;
  for (const MenuFile& file : files) ok = WriteFile(file, record, err) && ok;
  ok = MergeThunar(folders.thunarActions, folders.thunarDefaults, actions, record, err) && ok;
  if (!WriteRecord(registry, record)) {
    err << "qxm: cannot record the file managers' menus: " << RegistryErrorText() << '\n';
    Remove(record, err);
    return false;
  }
  for (const std::string& loss : losses) out << loss << '\n';
  return ok;
}

bool UninstallMenus(Registry& registry, std::ostream& err) {
  if (!Remove(ReadRecord(registry), err)) return false;
  DeleteRecord(registry);
  return true;
}

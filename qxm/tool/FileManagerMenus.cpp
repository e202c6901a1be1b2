#include "tool/FileManagerMenus.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "script/AtomicFile.h"
#include "script/Registry.h"
#include "script/RegistryValues.h"
#include "tool/DesktopMenu.h"
#include "tool/DolphinMenu.h"
#include "tool/KeyFileText.h"
#include "tool/MenuFile.h"
#include "tool/NautilusExtension.h"
#include "tool/NautilusMenu.h"
#include "tool/NemoMenu.h"
#include "tool/ShellQuote.h"
#include "tool/ThunarMenu.h"

namespace {

constexpr char kFile[] = "File";
constexpr char kFolder[] = "Folder";
constexpr char kThunar[] = "Thunar";
constexpr char kThunarMade[] = "ThunarMade";
constexpr char kLoginStep[] = "/qxm-thunar.desktop";
constexpr char kCleanerEntry[] = "/qxm-thunar-leftovers.desktop";

// This program's path, for the command of the login step.
std::string ThisProgram() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "qxm";
}

// An autostart entry that runs the command at login in every desktop.
std::string AutostartEntry(const std::string& name, const std::string& comment,
                           const std::vector<std::string>& command) {
  DesktopEntry entry;
  for (const std::string& word : command) entry.command.push_back({false, word});
  return "[Desktop Entry]\n" + std::string(kWrittenByQxm) + "Type=Application\nName=" + name +
         "\nComment=" + comment + "\nExec=" + KeyFileValue(DolphinExec(entry)) +
         "\nNoDisplay=true\n";
}

// The same step as a script the X session's start-up sources (with set -e)
// before it starts the session: Thunar reads its actions only when it starts,
// and a session starts Thunar before the autostart entries. Named as those
// scripts must be, letters, digits, '-' and '_' only.
constexpr char kSessionStep[] = "/90qxm-thunar";

std::string SessionStepScript(const std::string& program) {
  const std::string quoted = ShellQuote(program);
  return std::string(kWrittenByQxm) +
         "# Brings the context menu for all users into the user's own Thunar actions\n"
         "# before the session starts Thunar, which reads them only when it starts.\n"
         "# Bounded: the login waits for it.\n"
         "if [ -x " +
         quoted + " ]; then timeout 10 " + quoted + " sync-user >/dev/null 2>&1 || true; fi\n";
}

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

// Whether a regular file carries our mark near its start; never a link, a pipe
// or a device, which could lead elsewhere or hang.
bool CarriesOurMark(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat status {};
  char head[4096];
  ssize_t got = -1;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) got = ::read(fd, head, sizeof head);
  ::close(fd);
  return got > 0 && std::string_view(head, static_cast<std::size_t>(got)).find(kWrittenByQxm) !=
                        std::string_view::npos;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// The temporary file of a write killed before its first byte, which has no
// mark yet: empty and named NAME.PID-COUNT.tmp, as ReplaceFileAtomically names it.
bool IsEmptyTemporary(const std::string& name, const struct stat& status) {
  constexpr std::string_view kTail = ".tmp";
  if (!S_ISREG(status.st_mode) || status.st_size != 0 || name.size() <= kTail.size() ||
      name.compare(name.size() - kTail.size(), kTail.size(), kTail) != 0)
    return false;
  const std::string stem = name.substr(0, name.size() - kTail.size());
  const std::size_t dot = stem.rfind('.');
  const std::size_t dash = stem.rfind('-');
  const auto digits = [&stem](std::size_t from, std::size_t to) {
    return to > from && stem.find_first_not_of("0123456789", from) >= to;
  };
  return dot != std::string::npos && dash != std::string::npos && dash > dot &&
         digits(dot + 1, dash) && digits(dash + 1, stem.size());
}

// Notes the folder and its missing parents, parents first, as folders that
// writing will make.
void PlanFolders(const std::string& folder, Record& record) {
  if (folder.empty() || Exists(folder) ||
      std::find(record.folders.begin(), record.folders.end(), folder) != record.folders.end())
    return;
  const std::size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0) PlanFolders(folder.substr(0, slash), record);
  record.folders.push_back(folder);
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty() || Exists(folder)) return true;
  const std::size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
    return false;
  return ::mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

bool WriteFile(const MenuFile& file, std::ostream& err) {
  if (!MakeFolders(FolderOf(file.path)) || !ReplaceFileAtomically(file.path, file.content) ||
      ::chmod(file.path.c_str(), file.executable ? 0755 : 0644) != 0) {
    err << "qxm: cannot write " << file.path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  return true;
}

// Our actions into uca.xml.
bool MergeThunar(const std::string& path, const std::string& defaults, const std::string& actions,
                 std::ostream& err) {
  std::string text;
  std::optional<std::string> existing;
  if (ReadWholeFile(path, text)) {
    existing = text;
  } else if (Exists(path)) {
    err << "qxm: cannot read " << path << ": " << std::strerror(errno) << '\n';
    return false;
  } else if (!defaults.empty() && ReadWholeFile(defaults, text)) {
    existing = text;
  }
  const auto merged = MergeThunarActions(existing, actions);
  if (!merged) {
    err << "qxm: " << path << " is not a list of Thunar actions and stays as it is\n";
    return false;
  }
  if (!MakeFolders(FolderOf(path)) || !ReplaceFileAtomically(path, *merged)) {
    err << "qxm: cannot write " << path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  return true;
}

// Our actions out of uca.xml; a file we made goes once it lists nothing. One
// that holds no action of ours need not be readable as a list.
bool TakeOutOfThunar(const std::string& path, bool made, std::ostream& err) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    if (!Exists(path)) return true;
    err << "qxm: cannot read " << path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  const auto left = MergeThunarActions(text, {});
  if (!left) {
    if (text.find(kThunarIdPrefix) == std::string::npos) return true;
    err << "qxm: " << path << " is not a list of Thunar actions and stays as it is\n";
    return false;
  }
  if (made && *left == *MergeThunarActions(std::nullopt, {})) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
  } else if (*left == text || ReplaceFileAtomically(path, *left)) {
    return true;
  }
  err << "qxm: cannot write " << path << ": " << std::strerror(errno) << '\n';
  return false;
}

// Every file of ours in a folder, and in its subfolders when deep. False when a
// folder that is there cannot be read.
bool FindOurs(const std::string& folder, bool deep, std::set<std::string>& files,
              std::ostream& err) {
  if (folder.empty()) return true;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    if (errno == ENOENT || errno == ENOTDIR) return true;
    err << "qxm: cannot look for qxm's menus in " << folder << ": " << std::strerror(errno) << '\n';
    return false;
  }
  std::vector<std::string> folders;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "/" + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) continue;
    if (S_ISDIR(status.st_mode)) {
      if (deep) folders.push_back(path);
    } else if (CarriesOurMark(path) || IsEmptyTemporary(name, status)) {
      files.insert(path);
    }
  }
  ::closedir(dir);
  bool ok = true;
  for (const std::string& below : folders) ok = FindOurs(below, true, files, err) && ok;
  return ok;
}

// Takes out every menu of ours that the record names or that lies where the
// file managers look now: the record may be missing, damaged or behind the
// files, after an install that was killed.
bool Remove(const Record& record, const MenuFolders& folders, std::ostream& err) {
  bool ok = true;
  if (!record.thunar.empty()) ok = TakeOutOfThunar(record.thunar, record.thunarMade, err);
  if (folders.thunarActions != record.thunar)
    ok = TakeOutOfThunar(folders.thunarActions, false, err) && ok;

  std::set<std::string> files;
  for (const std::string& file : record.files) {
    if (CarriesOurMark(file)) files.insert(file);
  }
  ok = FindOurs(folders.nautilusScripts, true, files, err) && ok;
  for (const std::string& folder :
       {folders.nemoActions, folders.dolphinServiceMenus, folders.nautilusExtensions,
        folders.autostart, folders.xsessionScripts,
        folders.leftoverCleaner.empty() ? std::string() : FolderOf(folders.leftoverCleaner)}) {
    ok = FindOurs(folder, false, files, err) && ok;
  }
  const std::string nautilus = folders.nautilusScripts + "/";
  for (const std::string& file : files) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
      err << "qxm: cannot remove " << file << ": " << std::strerror(errno) << '\n';
      ok = false;
      continue;
    }
    // A Nautilus submenu is a folder: it goes once our files have left it empty.
    for (std::string folder = FolderOf(file);
         !folders.nautilusScripts.empty() && folder.rfind(nautilus, 0) == 0 &&
         ::rmdir(folder.c_str()) == 0;
         folder = FolderOf(folder)) {
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

// A service menu that shows nothing, in place of the one of that name for all
// users, for a user whose own menu replaces that one.
constexpr char kDolphinStandIn[] =
    "# Stands in for the service menu of this name for all users: this user's own\n"
    "# menu replaces it.\n"
    "Type=Service\nMimeType=application/x-qxm-nothing;\nActions=\n";

// Writes a stand-in for every service menu of ours for all users that has no
// file of the same name in the user's folder.
bool HideDolphinMenusForAllUsers(const MenuFolders& folders, std::ostream& err) {
  if (folders.allUsers || folders.dolphinForAllUsers.empty()) return true;
  std::set<std::string> forAll;
  std::ostringstream ignored;  // a folder for all users that cannot be read hides nothing
  FindOurs(folders.dolphinForAllUsers, false, forAll, ignored);
  bool ok = true;
  for (const std::string& file : forAll) {
    const std::string path = folders.dolphinServiceMenus + file.substr(file.rfind('/'));
    if (Exists(path)) continue;
    ok = WriteFile({path, "[Desktop Entry]\n" + std::string(kWrittenByQxm) + kDolphinStandIn, true},
                   err) &&
         ok;
  }
  return ok;
}

}  // namespace

bool InstallMenus(const MenuScript& script, const MenuFolders& folders, Registry& registry,
                  std::ostream& out, std::ostream& err) {
  if (!UninstallMenus(registry, folders, err)) return false;
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
  for (MenuFiles more : {NemoFiles(menu, folders.nemoActions, folders.allUsers, losses),
                         DolphinFiles(menu, folders.dolphinServiceMenus, losses)}) {
    files.insert(files.end(), more.begin(), more.end());
  }
  const std::string actions =
      ThunarActions(menu, losses, folders.allUsers ? kThunarAllUsersIdPrefix : kThunarIdPrefix);
  // Thunar reads the list for all users only while a user has none of their
  // own, which it writes on its first start: a step at each login brings the
  // menu into that one.
  if (folders.allUsers && !actions.empty() && !folders.autostart.empty()) {
    files.push_back({folders.autostart + kLoginStep,
                     AutostartEntry("Context menu for Thunar",
                                    "Brings the context menu for all users into your own Thunar "
                                    "actions",
                                    {ThisProgram(), "sync-user"}),
                     false});
    if (!folders.xsessionScripts.empty() && Exists(folders.xsessionScripts))
      files.push_back(
          {folders.xsessionScripts + kSessionStep, SessionStepScript(ThisProgram()), false});
  }

  // Recorded before the first file is written, so that uninstall knows all of
  // it even when this run is killed half way. Ours were all taken out above:
  // a file still there is someone else's.
  Record record;
  MenuFiles writing;
  for (const MenuFile& file : files) {
    if (Exists(file.path)) {
      err << "qxm: " << file.path << " is not qxm's and stays; its entry is left out\n";
      continue;
    }
    PlanFolders(FolderOf(file.path), record);
    record.files.push_back(file.path);
    writing.push_back(file);
  }
  if (!actions.empty()) {
    PlanFolders(FolderOf(folders.thunarActions), record);
    record.thunar = folders.thunarActions;
    record.thunarMade = !Exists(folders.thunarActions);
  }
  if (!WriteRecord(registry, record)) {
    err << "qxm: cannot record the file managers' menus: " << RegistryErrorText() << '\n';
    return false;
  }
  bool ok = true;
  for (const MenuFile& file : writing) ok = WriteFile(file, err) && ok;
  if (!actions.empty())
    ok = MergeThunar(folders.thunarActions, folders.thunarDefaults, actions, err) && ok;
  ok = HideDolphinMenusForAllUsers(folders, err) && ok;
  for (const std::string& loss : losses) out << loss << '\n';
  return ok;
}

bool KeepUsersOwnMenus(const MenuFolders& folders, std::ostream& err) {
  return HideDolphinMenusForAllUsers(folders, err);
}

bool SyncUserThunar(const MenuFolders& folders, const std::string& actions, std::ostream& err) {
  const std::string cleanerEntry = folders.autostart + kCleanerEntry;
  std::string text;
  bool ok = true;
  if (!ReadWholeFile(folders.thunarActions, text)) {
    // Thunar reads the list for all users while the user has none.
    if (Exists(folders.thunarActions)) {
      err << "qxm: cannot read " << folders.thunarActions << ": " << std::strerror(errno) << '\n';
      return false;
    }
  } else if (const auto merged = MergeThunarActions(text, actions)) {
    if (*merged != text && !ReplaceFileAtomically(folders.thunarActions, *merged)) {
      err << "qxm: cannot write " << folders.thunarActions << ": " << std::strerror(errno) << '\n';
      return false;
    }
  } else {
    err << "qxm: " << folders.thunarActions
        << " is not a list of Thunar actions and stays as it is\n";
    return false;
  }
  const bool merged = !actions.empty() && !text.empty();
  if (!merged || folders.leftoverCleaner.empty() || folders.autostart.empty()) {
    for (const std::string& file : {cleanerEntry, folders.leftoverCleaner}) {
      if (!file.empty() && CarriesOurMark(file) && ::unlink(file.c_str()) != 0) {
        err << "qxm: cannot remove " << file << ": " << std::strerror(errno) << '\n';
        ok = false;
      }
    }
    return ok;
  }
  // Once the menu for all users is gone, so is this step: what it merged is
  // then taken out by a script of the user's own, which goes with it.
  const std::string systemList =
      folders.thunarDefaults.empty() ? "/etc/xdg/Thunar/uca.xml" : folders.thunarDefaults;
  const MenuFile cleaner{folders.leftoverCleaner,
                         ThunarLeftoverCleaner(folders.thunarActions, systemList, {cleanerEntry}),
                         true};
  const MenuFile entry{cleanerEntry,
                       AutostartEntry("Context menu for Thunar, leftovers",
                                      "Takes the context menu for all users out of your Thunar "
                                      "actions once it is no longer installed",
                                      {"/bin/sh", folders.leftoverCleaner}),
                       false};
  for (const MenuFile& file : {cleaner, entry}) {
    std::string now;
    if (ReadWholeFile(file.path, now) && now == file.content) continue;
    if (Exists(file.path) && !CarriesOurMark(file.path)) {
      err << "qxm: " << file.path << " is not qxm's and stays\n";
      ok = false;
      continue;
    }
    ok = WriteFile(file, err) && ok;
  }
  return ok;
}

bool UninstallMenus(Registry& registry, const MenuFolders& folders, std::ostream& err) {
  if (!Remove(ReadRecord(registry), folders, err)) return false;
  DeleteRecord(registry);
  return true;
}

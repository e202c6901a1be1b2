#include "3_settings/SettingsPath.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

#ifndef __WINDOWS__
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace {

wxString WithSeparator(const wxString& dir) {
  if (dir.empty() || wxFileName::IsPathSeparator(dir.Last())) return dir;
  return dir + wxFileName::GetPathSeparator();
}

bool IsAbsolute(const wxString& dir) { return !dir.empty() && wxFileName(dir).IsAbsolute(); }

#ifndef __WINDOWS__
// The home folder that the user database gives the user running the program.
wxString DatabaseHomeDir() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  int error;
  while ((error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found)) ==
         ERANGE) {
    buffer.resize(buffer.size() * 2);
  }
  if (error != 0 || found == nullptr || found->pw_dir == nullptr) return wxString();
  return wxString(found->pw_dir, *wxConvFileName);
}

// The settings hold the stored passwords: a folder or file of ours that others
// may read or enter loses those rights. Nothing is ever widened.
void MakeOwnerOnly(const wxString& path, bool folder) {
  struct stat info {};
  if (::lstat(path.fn_str(), &info) != 0 || info.st_uid != ::geteuid()) return;
  if (folder ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode)) return;
  if ((info.st_mode & 077) != 0) ::chmod(path.fn_str(), info.st_mode & 07700);
}
#endif

bool MakeProgramFolder(const wxString& userDataDir, const wxString& folder) {
  if (!IsAbsolute(userDataDir)) return false;
  wxLogNull quiet;  // a folder that can't be made has a fallback, not an error
  if (!wxDirExists(folder)) {
    // The per-user data folder itself belongs to the platform; a fresh account
    // may not have it yet, so it is made with private permissions.
    if (!wxDirExists(userDataDir) && !wxFileName::Mkdir(userDataDir, 0700, wxPATH_MKDIR_FULL)) {
      return false;
    }
    if (!wxMkdir(folder, 0700)) return false;
  }
#ifndef __WINDOWS__
  MakeOwnerOnly(folder, true);
#endif
  return true;
}

}  // namespace

wxString HomeDir() {
#ifdef __WINDOWS__
  const wxString home = wxGetHomeDir();
  return IsAbsolute(home) ? home : wxString();
#else
  wxString home;
  if (wxGetEnv("HOME", &home) && IsAbsolute(home)) return home;
  home = DatabaseHomeDir();
  return IsAbsolute(home) ? home : wxString();
#endif
}

wxString UserDataDir() {
#ifdef __WINDOWS__
  return wxStandardPaths::Get().GetUserConfigDir();
#else
  wxString xdg;
  if (wxGetEnv("XDG_CONFIG_HOME", &xdg) && IsAbsolute(xdg)) return xdg;
  const wxString home = HomeDir();
  return home.empty() ? wxString() : WithSeparator(home) + ".config";
#endif
}

wxString SettingsFilePathIn(const wxString& userDataDir, const wxString& homeDir) {
  const wxString folder = WithSeparator(userDataDir) + Msg(msg::ProgramName);
  const bool inProgramFolder = MakeProgramFolder(userDataDir, folder);
  // Never a relative path: that would put the stored passwords into whatever
  // folder the program was started in.
  if (!inProgramFolder && !IsAbsolute(homeDir)) {
    throw rkSettingsException(Msg(msg::SettingsNoHomeFolder));
  }
  const wxString path =
      WithSeparator(inProgramFolder ? folder : homeDir) + Msg(msg::SettingsFileName);
#ifndef __WINDOWS__
  MakeOwnerOnly(path, false);
#endif
  return path;
}

wxString SettingsFilePath() { return SettingsFilePathIn(UserDataDir(), HomeDir()); }

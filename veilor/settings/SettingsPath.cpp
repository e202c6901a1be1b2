#include "settings/SettingsPath.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"

namespace {

wxString WithSeparator(const wxString& dir) {
  if (dir.empty() || wxFileName::IsPathSeparator(dir.Last())) return dir;
  return dir + wxFileName::GetPathSeparator();
}

bool MakeProgramFolder(const wxString& userDataDir, const wxString& folder) {
  if (userDataDir.empty() || !wxFileName(userDataDir).IsAbsolute()) return false;
  wxLogNull quiet;  // a folder that can't be made has a fallback, not an error
  if (wxDirExists(folder)) return true;
  // The per-user data folder itself belongs to the platform; a fresh account
  // may not have it yet, so it is made with private permissions.
  if (!wxDirExists(userDataDir) && !wxFileName::Mkdir(userDataDir, 0700, wxPATH_MKDIR_FULL)) {
    return false;
  }
  return wxMkdir(folder, 0777);
}

}  // namespace

wxString UserDataDir() {
#ifdef __WINDOWS__
  return wxStandardPaths::Get().GetUserConfigDir();
#else
  wxString xdg;
  if (wxGetEnv("XDG_CONFIG_HOME", &xdg) && wxFileName(xdg).IsAbsolute()) return xdg;
  const wxString home = wxGetHomeDir();
  return home.empty() ? wxString() : WithSeparator(home) + ".config";
#endif
}

wxString SettingsFilePathIn(const wxString& userDataDir, const wxString& homeDir) {
  const wxString folder = WithSeparator(userDataDir) + Msg(msg::ProgramName);
  const wxString dir = MakeProgramFolder(userDataDir, folder) ? folder : homeDir;
  return WithSeparator(dir) + Msg(msg::SettingsFileName);
}

wxString SettingsFilePath() { return SettingsFilePathIn(UserDataDir(), wxGetHomeDir()); }

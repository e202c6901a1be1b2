#include "5_batch/LogFolder.h"

#include <wx/filename.h>
#include <wx/utils.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/ProgramDir.h"
#include "3_settings/SettingsPath.h"

namespace {
// Relative values are to be ignored, as the desktop's base-folder rules say.
bool IsAbsolute(const wxString& dir) { return !dir.empty() && wxFileName(dir).IsAbsolute(); }

wxString Joined(const wxString& dir, const wxString& name) {
  return wxFileName::IsPathSeparator(dir.Last()) ? dir + name
                                                 : dir + wxFileName::GetPathSeparator() + name;
}
}  // namespace

wxString StateLogFolder(const wxString& stateHome, const wxString& homeDir) {
  wxString base = stateHome;
  if (!IsAbsolute(base)) {
    if (!IsAbsolute(homeDir)) return wxString();
    base = Joined(Joined(homeDir, ".local"), "state");
  }
  return Joined(Joined(base, Msg(msg::ProgramName)), Msg(msg::LogDirName));
}

wxString LogFolder() {
#ifdef __WINDOWS__
  return GetProgramDir() + Msg(msg::LogDirName);
#else
  wxString stateHome;
  wxGetEnv("XDG_STATE_HOME", &stateHome);
  return StateLogFolder(stateHome, HomeDir());
#endif
}

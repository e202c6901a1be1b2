#include "1_base/ProgramDir.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

#ifdef __WINDOWS__
#include <windows.h>
#endif

namespace {
wxString ExecutablePath() {
  wxString path = wxStandardPaths::Get().GetExecutablePath();
#ifdef __WINDOWS__
  if (path.empty()) {
    wchar_t buffer[1024] = {};
    if (GetModuleFileNameW(nullptr, buffer, 1024) > 0) path = buffer;
  }
#endif
  return path;
}

wxString WithSeparator(const wxString& folder) { return folder + wxFileName::GetPathSeparator(); }
}  // namespace

wxString GetProgramDir() {
  return wxFileName(ExecutablePath()).GetPath(wxPATH_GET_VOLUME | wxPATH_GET_SEPARATOR);
}

wxString GetThemeDir() {
  const wxString beside = WithSeparator(GetProgramDir() + Msg(msg::ThemesDirName));
#ifdef __WINDOWS__
  return beside;
#else
  if (wxFileExists(beside + Msg(msg::PassEnterSkinFile))) return beside;
  return WithSeparator(wxString(VEILOR_DATA_DIR) + wxFileName::GetPathSeparator() +
                       Msg(msg::ThemesDirName));
#endif
}

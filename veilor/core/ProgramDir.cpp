#include "core/ProgramDir.h"

#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"

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
}  // namespace

wxString GetProgramDir() {
  return wxFileName(ExecutablePath()).GetPath(wxPATH_GET_VOLUME | wxPATH_GET_SEPARATOR);
}

wxString GetThemeDir() {
  return GetProgramDir() + Msg(msg::ThemesDirName) + wxFileName::GetPathSeparator();
}

#include "crypto/FileCollector.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {
bool IsLink(const wxString& path) {
#ifdef __WINDOWS__
  const DWORD attributes = GetFileAttributesW(path.wc_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  struct stat info;
  return ::lstat(path.fn_str(), &info) == 0 && S_ISLNK(info.st_mode);
#endif
}

wxArrayString Entries(const wxString& folder, int kind) {
  wxArrayString names;
  wxDir dir(folder);
  if (!dir.IsOpened()) return names;
  wxString name;
  for (bool found = dir.GetFirst(&name, wxEmptyString, kind | wxDIR_HIDDEN); found;
       found = dir.GetNext(&name)) {
    names.Add(name);
  }
  names.Sort();
  return names;
}

void AddFolder(const wxString& folder, wxArrayString& files) {
  const wxString prefix = folder.EndsWith(wxFileName::GetPathSeparator())
                              ? folder
                              : folder + wxFileName::GetPathSeparator();
  for (const wxString& name : Entries(folder, wxDIR_FILES)) files.Add(prefix + name);
  for (const wxString& name : Entries(folder, wxDIR_DIRS)) {
    const wxString child = prefix + name;
    if (!IsLink(child)) AddFolder(child, files);
  }
}
}  // namespace

wxArrayString CollectFiles(const wxString& pathList) {
  wxLogNull quiet;  // an unreadable folder simply yields fewer files
  wxArrayString files;
  wxStringTokenizer tokens(pathList, Msg(msg::Comma), wxTOKEN_DEFAULT);
  while (tokens.HasMoreTokens()) {
    const wxString token = tokens.GetNextToken();
    if (!token.empty() && wxDirExists(token)) {
      AddFolder(token, files);
    } else {
      files.Add(token);
    }
  }
  return files;
}

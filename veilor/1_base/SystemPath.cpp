#include "1_base/SystemPath.h"

#include <wx/filefn.h>

#ifdef __WINDOWS__
#include <windows.h>
#include <wx/arrstr.h>
#include <wx/filefn.h>
#include <wx/tokenzr.h>

namespace {
bool IsSeparator(wxUniChar c) { return c == '\\' || c == '/'; }

bool HasDrive(const wxString& path) {
  return path.length() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The folders and name after `root`, with "." dropped and ".." taking the
// folder before it away; every other name is kept as it is spelled.
wxString Resolved(const wxString& root, const wxString& rest) {
  wxArrayString names;
  for (const wxString& name : wxStringTokenize(rest, "\\/", wxTOKEN_STRTOK)) {
    if (name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.RemoveAt(names.size() - 1);
      continue;
    }
    names.Add(name);
  }
  wxString result = root;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) result += '\\';
    result += names[i];
  }
  return result;
}
}  // namespace

wxString SystemPath(const wxString& path) {
  if (path.StartsWith("\\\\?\\") || path.StartsWith("\\\\.\\")) return path;
  if (path.length() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // \\server\share\rest: the share is the root that ".." cannot leave.
    const wxString rest = path.Mid(2);
    wxArrayString parts = wxStringTokenize(rest, "\\/", wxTOKEN_STRTOK);
    if (parts.size() < 2) return path;
    const wxString root = "\\\\?\\UNC\\" + parts[0] + "\\" + parts[1] + "\\";
    wxString tail;
    for (std::size_t i = 2; i < parts.size(); ++i) tail += parts[i] + "\\";
    return Resolved(root, tail);
  }
  if (HasDrive(path) && path.length() >= 3 && IsSeparator(path[2])) {
    return Resolved("\\\\?\\" + path.Left(2).Upper() + "\\", path.Mid(3));
  }
  // Relative to the current folder (or to the current folder of a drive,
  // which the current folder stands for here when it is on that drive).
  const wxString current = wxGetCwd();
  if (HasDrive(path)) {
    if (current.Left(2).CmpNoCase(path.Left(2)) != 0) return path;
    return SystemPath(current + "\\" + path.Mid(2));
  }
  if (!path.empty() && IsSeparator(path[0])) return SystemPath(current.Left(2) + path);
  return SystemPath(current + "\\" + path);
}

bool FileExistsAsSpelled(const wxString& path) {
  const DWORD attributes = GetFileAttributesW(SystemPath(path).wc_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
#else
wxString SystemPath(const wxString& path) { return path; }

bool FileExistsAsSpelled(const wxString& path) { return wxFileExists(path); }
#endif

#include "5_batch/FileCollector.h"

#include <wx/arrstr.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

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

wxArrayString Entries(wxDir& dir, int kind) {
  wxArrayString names;
  wxString name;
  for (bool found = dir.GetFirst(&name, wxEmptyString, kind | wxDIR_HIDDEN); found;
       found = dir.GetNext(&name)) {
    names.Add(name);
  }
  names.Sort();
  return names;
}

// A folder that cannot be opened is an entry of its own, so the report shows
// that its files were not processed.
void AddFolder(const wxString& folder, std::vector<CollectedPath>& files) {
  wxDir dir(folder);
  if (!dir.IsOpened()) {
    files.push_back({folder, false});
    return;
  }
  const wxString prefix = folder.EndsWith(wxFileName::GetPathSeparator())
                              ? folder
                              : folder + wxFileName::GetPathSeparator();
  for (const wxString& name : Entries(dir, wxDIR_FILES)) files.push_back({prefix + name, true});
  for (const wxString& name : Entries(dir, wxDIR_DIRS)) {
    const wxString child = prefix + name;
    if (!IsLink(child)) AddFolder(child, files);
  }
}

// The text between commas, empty pieces included, except after a final
// comma: the context menu ends every path with one.
wxArrayString Pieces(const wxString& pathList) {
  wxArrayString pieces = wxSplit(pathList, Msg(msg::Comma)[0], '\0');
  if (!pieces.empty() && pieces.Last().empty()) pieces.RemoveAt(pieces.size() - 1);
  return pieces;
}

// The path that starts at pieces[first]: the longest run of pieces that,
// joined with commas, names something that exists, else the piece alone.
// `next` receives the index after the run.
wxString JoinedPath(const wxArrayString& pieces, std::size_t first, std::size_t& next) {
  wxString joined;
  wxString found = pieces[first];
  next = first + 1;
  for (std::size_t last = first; last < pieces.size(); ++last) {
    joined += (last == first ? wxString() : Msg(msg::Comma)) + pieces[last];
    // Longer joins keep this folder part: when it does not exist, none of
    // them can, which keeps a long selection from costing a look-up per pair.
    const std::size_t cut = joined.find_last_of(wxFileName::GetPathSeparators());
    if (cut != wxString::npos && !wxDirExists(joined.substr(0, cut + 1))) break;
    if (!joined.empty() &&
        wxFileName::Exists(joined, wxFILE_EXISTS_ANY | wxFILE_EXISTS_NO_FOLLOW)) {
      found = joined;
      next = last + 1;
    }
  }
  return found;
}

void AddPath(const wxString& path, std::vector<CollectedPath>& files) {
  if (path.empty()) {
    files.push_back({wxString(), false});
  } else if (wxDirExists(path)) {
    AddFolder(path, files);
  } else {
    files.push_back({path, true});
  }
}
}  // namespace

std::vector<CollectedPath> CollectFiles(const wxString& pathList) {
  wxLogNull quiet;  // an unreadable folder becomes an entry, not a toolkit message
  std::vector<CollectedPath> files;
  const wxArrayString pieces = Pieces(pathList);
  for (std::size_t i = 0; i < pieces.size();) {
    std::size_t next = i + 1;
    AddPath(pieces[i].empty() ? wxString() : JoinedPath(pieces, i, next), files);
    i = next;
  }
  return files;
}

std::vector<CollectedPath> CollectArguments(const wxArrayString& arguments) {
  if (arguments.size() == 1) return CollectFiles(arguments[0]);
  wxLogNull quiet;  // as above
  std::vector<CollectedPath> files;
  for (const wxString& path : arguments) AddPath(path, files);
  return files;
}

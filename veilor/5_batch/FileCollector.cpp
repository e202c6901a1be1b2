#include "5_batch/FileCollector.h"

#include <set>

#include <wx/arrstr.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/SystemPath.h"

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {
// A folder's files and subfolders (links to folders left out), each sorted;
// false when it cannot be listed.
struct Listing {
  wxArrayString files;
  wxArrayString folders;
};

#ifdef __WINDOWS__
// Windows rewrites names in an ordinary path ("sub." would list "sub"), so
// names are looked up and listed in the form it takes as spelled.
DWORD AttributesAsSpelled(const wxString& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(SystemPath(path).wc_str());
}

bool Exists(const wxString& path) { return AttributesAsSpelled(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const wxString& path) {
  const DWORD attributes = AttributesAsSpelled(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool List(const wxString& folder, Listing& listing) {
  WIN32_FIND_DATAW entry;
  const wxString pattern = SystemPath(folder) + "\\*";
  HANDLE search = FindFirstFileExW(pattern.wc_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const wxString name(entry.cFileName);
    if (name == "." || name == "..") continue;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      listing.files.Add(name);
    } else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      listing.folders.Add(name);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return true;
}
#else
bool Exists(const wxString& path) {
  return !path.empty() && wxFileName::Exists(path, wxFILE_EXISTS_ANY | wxFILE_EXISTS_NO_FOLLOW);
}

bool IsFolder(const wxString& path) { return wxDirExists(path); }

bool IsLink(const wxString& path) {
  struct stat info;
  return ::lstat(path.fn_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool List(const wxString& folder, Listing& listing) {
  wxDir dir(folder);
  if (!dir.IsOpened()) return false;
  const wxString prefix = folder + wxFileName::GetPathSeparator();
  wxString name;
  for (bool found = dir.GetFirst(&name, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN); found;
       found = dir.GetNext(&name)) {
    listing.files.Add(name);
  }
  for (bool found = dir.GetFirst(&name, wxEmptyString, wxDIR_DIRS | wxDIR_HIDDEN); found;
       found = dir.GetNext(&name)) {
    if (!IsLink(prefix + name)) listing.folders.Add(name);
  }
  return true;
}
#endif

// A folder that cannot be opened is an entry of its own, so the report shows
// that its files were not processed.
void AddFolder(const wxString& folder, std::vector<CollectedPath>& files) {
  Listing listing;
  if (!List(folder, listing)) {
    files.push_back({folder, false});
    return;
  }
  listing.files.Sort();
  listing.folders.Sort();
  const wxString prefix = folder.EndsWith(wxFileName::GetPathSeparator())
                              ? folder
                              : folder + wxFileName::GetPathSeparator();
  for (const wxString& name : listing.files) files.push_back({prefix + name, true});
  for (const wxString& name : listing.folders) AddFolder(prefix + name, files);
}

// Where a path of a joined list can begin: an absolute path, as the Windows
// menu passes every path.
bool StartsAbsolutePath(const wxString& text, std::size_t at) {
#ifdef __WINDOWS__
  if (text.compare(at, 2, "\\\\") == 0) return true;
  if (at + 2 >= text.length()) return false;
  const wxUniChar drive = text[at];
  return ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) &&
         text[at + 1] == ':' && (text[at + 2] == '\\' || text[at + 2] == '/');
#else
  return at < text.length() && text[at] == '/';
#endif
}

// The pieces of a joined list: split at each comma that an absolute path
// follows, the final comma (the menu's, after the last path) dropped.
wxArrayString Pieces(const wxString& argument) {
  const wxUniChar comma = Msg(msg::Comma)[0];
  wxString list = argument;
  if (list.EndsWith(wxString(comma))) list.RemoveLast();
  wxArrayString pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.length(); ++i) {
    if (list[i] == comma && StartsAbsolutePath(list, i + 1)) {
      pieces.Add(list.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.Add(list.substr(start));
  return pieces;
}

void AddPath(const wxString& path, std::vector<CollectedPath>& files) {
  if (!Exists(path)) {
    files.push_back({path, false});
  } else if (IsFolder(path)) {
    AddFolder(path, files);
  } else {
    files.push_back({path, true});
  }
}

void AddArgument(const wxString& argument, std::vector<CollectedPath>& files) {
  if (Exists(argument)) {
    AddPath(argument, files);
    return;
  }
  for (const wxString& piece : Pieces(argument)) AddPath(piece, files);
}

// Each path once, where it first comes; invalid entries all stay, since each
// tells of a piece of the command line.
std::vector<CollectedPath> WithoutRepeats(std::vector<CollectedPath> files) {
  std::set<wxString> seen;
  std::vector<CollectedPath> kept;
  kept.reserve(files.size());
  for (CollectedPath& file : files) {
    if (file.valid && !seen.insert(file.path).second) continue;
    kept.push_back(std::move(file));
  }
  return kept;
}
}  // namespace

std::vector<CollectedPath> CollectFiles(const wxString& argument) {
  wxLogNull quiet;  // an unreadable folder becomes an entry, not a toolkit message
  std::vector<CollectedPath> files;
  if (!argument.empty()) AddArgument(argument, files);
  return WithoutRepeats(std::move(files));
}

std::vector<CollectedPath> CollectArguments(const wxArrayString& arguments) {
  if (arguments.size() == 1) return CollectFiles(arguments[0]);
  wxLogNull quiet;  // as above
  std::vector<CollectedPath> files;
  for (const wxString& path : arguments) AddPath(path, files);
  return WithoutRepeats(std::move(files));
}

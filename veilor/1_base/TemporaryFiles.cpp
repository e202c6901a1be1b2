#include "1_base/TemporaryFiles.h"

#include "1_base/SystemPath.h"

#include <mutex>
#include <set>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <signal.h>
#include <cerrno>
#endif

namespace {
const wxString kPrefix = ".veilor-";
const wxString kSuffix = ".tmp";

// The process id in a name of ours; 0 for any other name.
unsigned long OwnerOf(const wxString& name) {
  if (!name.StartsWith(kPrefix) || !name.EndsWith(kSuffix)) return 0;
  const wxString middle =
      name.Mid(kPrefix.length(), name.length() - kPrefix.length() - kSuffix.length());
  const wxString pid = middle.BeforeFirst('-');
  const wxString counter = middle.AfterFirst('-');
  unsigned long value = 0, unused = 0;
  if (!pid.IsNumber() || !counter.IsNumber() || !pid.ToULong(&value) || !counter.ToULong(&unused)) {
    return 0;
  }
  return value;
}

#ifdef __WINDOWS__
// A writer holds its temporary file open, sharing it with nobody, until it
// has its name: a file of ours that can be opened alone is a leftover
// whatever its process id says (a later process may have the same one).
// Opened so, it is deleted when closed.
void RemoveIfNobodyHoldsIt(const wxString& path) {
  HANDLE handle = CreateFileW(SystemPath(path).wc_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  FILE_DISPOSITION_INFO disposition{TRUE};
  SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
  CloseHandle(handle);
}
#else
bool ProcessIsGone(unsigned long pid) {
  // Another user's live process answers EPERM: only ESRCH means gone.
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}
#endif
}  // namespace

wxString TemporaryFileName(unsigned long pid, unsigned counter) {
  return wxString::Format("%s%lu-%u%s", kPrefix, pid, counter, kSuffix);
}

void RemoveStaleTemporaries(const wxString& folder) {
  static std::mutex lock;
  static std::set<wxString> seen;
  {
    std::lock_guard guard(lock);
    if (!seen.insert(folder).second) return;
  }
#ifdef __WINDOWS__
  // Listed in the form that keeps names as they are: a folder "sub." is not "sub".
  WIN32_FIND_DATAW found;
  const wxString pattern = SystemPath(folder) + "\\" + kPrefix + "*" + kSuffix;
  HANDLE search = FindFirstFileW(pattern.wc_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  wxArrayString names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.Add(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (const wxString& name : names) {
    if (OwnerOf(name) != 0) RemoveIfNobodyHoldsIt(folder + "\\" + name);
  }
#else
  wxLogNull quiet;  // an unreadable folder has nothing to clean
  wxDir dir(folder);
  if (!dir.IsOpened()) return;
  wxArrayString stale;
  wxString name;
  for (bool found = dir.GetFirst(&name, kPrefix + "*" + kSuffix, wxDIR_FILES | wxDIR_HIDDEN); found;
       found = dir.GetNext(&name)) {
    const unsigned long pid = OwnerOf(name);
    if (pid != 0 && pid != wxGetProcessId() && ProcessIsGone(pid)) stale.Add(name);
  }
  for (const wxString& file : stale) {
    wxRemoveFile(folder + wxFileName::GetPathSeparator() + file);
  }
#endif
}

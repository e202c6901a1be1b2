#include "1_base/TemporaryFiles.h"

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

bool ProcessIsGone(unsigned long pid) {
#ifdef __WINDOWS__
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool gone = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return gone;
#else
  // Another user's live process answers EPERM: only ESRCH means gone.
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#endif
}
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
}

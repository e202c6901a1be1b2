#include "3_settings/SettingsFileLock.h"

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

wxString LockPath(const wxString& settingsPath) {
  return settingsPath + Msg(msg::SettingsLockSuffix);
}

}  // namespace

#ifdef __WINDOWS__

SettingsFileLock::SettingsFileLock(const wxString& settingsPath) {
  HANDLE file = CreateFileW(LockPath(settingsPath).wc_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  OVERLAPPED whole = {};
  if (file != INVALID_HANDLE_VALUE && !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
  }
  handle_ = file;
}

SettingsFileLock::~SettingsFileLock() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole = {};
  UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &whole);
  CloseHandle(static_cast<HANDLE>(handle_));
}

bool SettingsFileLock::Held() const { return handle_ != INVALID_HANDLE_VALUE; }

#else

SettingsFileLock::SettingsFileLock(const wxString& settingsPath) {
  // Owner-only like the settings themselves; it holds no data.
  fd_ = ::open(LockPath(settingsPath).fn_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  int locked;
  do {
    locked = ::flock(fd_, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

// Closing the descriptor releases the lock.
SettingsFileLock::~SettingsFileLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool SettingsFileLock::Held() const { return fd_ >= 0; }

#endif

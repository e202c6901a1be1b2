#include "3_settings/SettingsFileLock.h"

#include <thread>

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

// How often a held lock is tried again while waiting.
constexpr std::chrono::milliseconds kRetry{50};

// Tries `attempt` until it reports true, or false for good, or the wait is
// over; true once it succeeded.
template <class Attempt>
bool TryFor(std::chrono::milliseconds wait, Attempt attempt, bool& timedOut) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    bool busy = false;
    if (attempt(busy)) return true;
    if (!busy) return false;
    if (std::chrono::steady_clock::now() >= deadline) {
      timedOut = true;
      return false;
    }
    std::this_thread::sleep_for(kRetry);
  }
}

}  // namespace

#ifdef __WINDOWS__

SettingsFileLock::SettingsFileLock(const wxString& settingsPath, std::chrono::milliseconds wait)
    : lockPath_(settingsPath + Msg(msg::SettingsLockSuffix)) {
  HANDLE file = CreateFileW(lockPath_.wc_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool locked =
      file != INVALID_HANDLE_VALUE &&
      TryFor(
          wait,
          [file](bool& busy) {
            OVERLAPPED whole = {};
            if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                           &whole)) {
              return true;
            }
            busy = GetLastError() == ERROR_LOCK_VIOLATION;
            return false;
          },
          timedOut_);
  if (file != INVALID_HANDLE_VALUE && !locked) {
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

SettingsFileLock::SettingsFileLock(const wxString& settingsPath, std::chrono::milliseconds wait)
    : lockPath_(settingsPath + Msg(msg::SettingsLockSuffix)) {
  // Owner-only like the settings themselves; it holds no data. Not blocking:
  // a FIFO put in its place must not hang the run.
  fd_ = ::open(lockPath_.fn_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd_ < 0) return;
  const int fd = fd_;
  const bool locked = TryFor(
      wait,
      [fd](bool& busy) {
        int result;
        do {
          result = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        busy = result != 0 && errno == EWOULDBLOCK;
        return result == 0;
      },
      timedOut_);
  if (!locked) {
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

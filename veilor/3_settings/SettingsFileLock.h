#pragma once

#include <chrono>

#include <wx/string.h>

// An advisory lock that programs sharing one settings file hold while they
// read it and while they read it back and replace it, so that two savers never
// interleave. The settings file itself is replaced by a rename and so cannot
// carry the lock: it lives in a small file of its own beside it. Taking the
// lock waits for another holder, a bounded time: a holder that never lets go
// (a hung program) must not hang every later run. The lock goes with the
// object.
class SettingsFileLock {
public:
  // Long enough for any other run's read or save of the file.
  static constexpr std::chrono::milliseconds kWait{5000};

  explicit SettingsFileLock(const wxString& settingsPath, std::chrono::milliseconds wait = kWait);
  ~SettingsFileLock();

  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;

  // False when the lock file cannot be made (its folder is missing or not
  // writable) or the lock cannot be taken.
  bool Held() const;
  // True when another holder kept the lock for the whole wait.
  bool TimedOut() const { return timedOut_; }
  const wxString& LockPath() const { return lockPath_; }

private:
  wxString lockPath_;
  bool timedOut_ = false;
#ifdef __WINDOWS__
  void* handle_;
#else
  int fd_ = -1;
#endif
};

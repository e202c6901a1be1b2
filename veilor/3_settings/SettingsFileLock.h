#pragma once

#include <wx/string.h>

// An advisory lock that programs sharing one settings file hold while they
// read it and while they read it back and replace it, so that two savers never
// interleave. The settings file itself is replaced by a rename and so cannot
// carry the lock: it lives in a small file of its own beside it. Taking the
// lock waits for another holder; the lock goes with the object.
class SettingsFileLock {
public:
  explicit SettingsFileLock(const wxString& settingsPath);
  ~SettingsFileLock();

  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;

  // False when the lock file cannot be made (its folder is missing or not
  // writable) or the lock cannot be taken.
  bool Held() const;

private:
#ifdef __WINDOWS__
  void* handle_;
#else
  int fd_ = -1;
#endif
};

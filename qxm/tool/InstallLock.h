#pragma once

#include <chrono>
#include <optional>
#include <string>

// Keeps the installs and uninstalls of one store apart, so that two of them
// never mix their menus: an exclusive lock on a file, held while the object
// lives and let go by the system however the process ends.
class InstallLock {
public:
  InstallLock(InstallLock&& other) noexcept;
  InstallLock& operator=(InstallLock&& other) noexcept;
  ~InstallLock();

  // The lock on the file (made, with its folder, when missing), waited for at
  // most that long; nothing, with the reason in error, when it is not had.
  static std::optional<InstallLock> Take(const std::string& path, std::chrono::milliseconds wait,
                                         std::string& error);

private:
  explicit InstallLock(int fd) : fd_(fd) {}
  int fd_;
};

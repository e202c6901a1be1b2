#include "tool/InstallLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

InstallLock::InstallLock(InstallLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

InstallLock& InstallLock::operator=(InstallLock&& other) noexcept {
  std::swap(fd_, other.fd_);
  return *this;
}

InstallLock::~InstallLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<InstallLock> InstallLock::Take(const std::string& path,
                                             std::chrono::milliseconds wait, std::string& error) {
  constexpr int kFlags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = ::open(path.c_str(), kFlags, 0644);
  if (fd < 0 && errno == ENOENT) {
    ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
    fd = ::open(path.c_str(), kFlags, 0644);
  }
  if (fd < 0) {
    error = "qxm: cannot lock " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  InstallLock lock(fd);
  const auto until = std::chrono::steady_clock::now() + wait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error = "qxm: cannot lock " + path + ": " + std::strerror(errno);
      return std::nullopt;
    }
    if (std::chrono::steady_clock::now() >= until) {
      error = "qxm: another qxm install or uninstall holds " + path +
              "; try again once it has finished";
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return lock;
}

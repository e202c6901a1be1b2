#include "ScriptFileReader.h"

#include <cstdint>
#include <new>

#include "QXMException.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

CQXMException CannotOpen(const std::string& name) {
  return CQXMException("File '" + name + "' does't exists or used by another process");
}

// Larger scripts are refused as if memory ran out: no menu script comes near
// this, and trying could exhaust the process that installs it.
constexpr std::uint64_t kMaxScriptSize = 64u << 20;

// One buffer for the whole file.
std::string AllocateFor(std::uint64_t size) {
  if (size > kMaxScriptSize) throw CQXMException("Out of memory");
  try {
    return std::string(static_cast<std::size_t>(size), '\0');
  } catch (const std::bad_alloc&) {
    throw CQXMException("Out of memory");
  }
}

#ifdef _WIN32
class FileHandle {
public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }

private:
  HANDLE handle_;
};
#else
class FileHandle {
public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};
#endif

}  // namespace

std::string ReadScriptFile(const std::string& fileName) {
  // Cut at a NUL byte, the name would open another file.
  if (fileName.find('\0') != std::string::npos) throw CannotOpen(fileName);
#ifdef _WIN32
  FileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw CannotOpen(fileName);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) {
    throw CQXMException("Empty file '" + fileName + "'");
  }
  std::string data = AllocateFor(static_cast<std::uint64_t>(size.QuadPart));
  std::size_t total = 0;
  while (total < data.size()) {
    const std::size_t left = data.size() - total;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD read = 0;
    if (!ReadFile(file.get(), data.data() + total, chunk, &read, nullptr) || read == 0) break;
    total += read;
  }
#else
  // Non-blocking, so that a FIFO given as a script cannot hang the caller.
  FileHandle file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) throw CannotOpen(fileName);
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) throw CQXMException("Empty file '" + fileName + "'");
  // Only a regular file is a script; a folder or a device cannot be opened as one on Windows
  // either.
  if (!S_ISREG(status.st_mode)) throw CannotOpen(fileName);
  if (status.st_size <= 0) throw CQXMException("Empty file '" + fileName + "'");
  std::string data = AllocateFor(static_cast<std::uint64_t>(status.st_size));
  std::size_t total = 0;
  while (total < data.size()) {
    const ssize_t read = ::read(file.get(), data.data() + total, data.size() - total);
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) break;
    total += static_cast<std::size_t>(read);
  }
#endif
  if (total < data.size()) throw CQXMException("Error reading file '" + fileName + "'");
  return data;
}

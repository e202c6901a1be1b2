#include "2_crypto/SourceFile.h"

#include "1_base/SystemPath.h"

#ifdef __WINDOWS__
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

SourceFile::~SourceFile() { Close(); }

#ifdef __WINDOWS__
namespace {
constexpr DWORD kNotPlain = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::uint64_t Join(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

// FILETIME counts 100 ns steps since 1601.
std::int64_t Nanoseconds(const FILETIME& time) {
  const auto ticks = static_cast<std::int64_t>(Join(time.dwHighDateTime, time.dwLowDateTime));
  return (ticks - 116444736000000000LL) * 100;
}

template <typename Stamp>
Stamp StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber, Join(info.nFileIndexHigh, info.nFileIndexLow),
          Join(info.nFileSizeHigh, info.nFileSizeLow), Nanoseconds(info.ftLastWriteTime)};
}
}  // namespace

SourceFile::OpenResult SourceFile::Open(const wxString& path) {
  Close();
  path_ = path;
  // Every name as it is spelled: "x." is not "x" here.
  const wxString systemPath = SystemPath(path);
  const DWORD kind = GetFileAttributesW(systemPath.wc_str());
  if (kind == INVALID_FILE_ATTRIBUTES) return OpenResult::Failed;
  if (kind & kNotPlain) return OpenResult::NotRegular;
  HANDLE handle = CreateFileW(systemPath.wc_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return OpenResult::Failed;
  handle_ = handle;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) {
    Close();
    return OpenResult::Failed;
  }
  if (GetFileType(handle) != FILE_TYPE_DISK || (info.dwFileAttributes & kNotPlain)) {
    Close();
    return OpenResult::NotRegular;
  }
  opened_ = StampOf<Stamp>(info);
  length_ = opened_.length;
  attributes_.permissions = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  attributes_.modified = opened_.modified;
  return OpenResult::Opened;
}

long long SourceFile::Read(void* data, std::size_t size) {
  DWORD got = 0;
  const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  if (!ReadFile(static_cast<HANDLE>(handle_), data, wanted, &got, nullptr)) return -1;
  return got;
}

ByteString SourceFile::Tail(std::size_t size) {
  ByteString bytes(size, '\0');
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(length_ - size);
  DWORD got = 0;
  const bool read = length_ >= size &&
                    SetFilePointerEx(static_cast<HANDLE>(handle_), at, nullptr, FILE_BEGIN) &&
                    ReadFile(static_cast<HANDLE>(handle_), bytes.data(), static_cast<DWORD>(size),
                             &got, nullptr) &&
                    got == size;
  at.QuadPart = 0;
  SetFilePointerEx(static_cast<HANDLE>(handle_), at, nullptr, FILE_BEGIN);
  return read ? bytes : ByteString();
}

bool SourceFile::StampOfPath(Stamp& stamp) const {
  HANDLE handle = CreateFileW(SystemPath(path_).wc_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (known) stamp = StampOf<Stamp>(info);
  return known;
}

// Deleted through a handle of its own, once that handle is known to hold the
// same file: nothing can take the name in between.
SourceFile::RemoveResult SourceFile::RemoveIfUnchanged() {
  Close();
  HANDLE handle = CreateFileW(SystemPath(path_).wc_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? RemoveResult::Changed
                                                                          : RemoveResult::Failed;
  }
  BY_HANDLE_FILE_INFORMATION info;
  RemoveResult result = RemoveResult::Changed;
  if (GetFileInformationByHandle(handle, &info) && StampOf<Stamp>(info) == opened_) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    result =
        SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition)
            ? RemoveResult::Removed
            : RemoveResult::Failed;
  }
  CloseHandle(handle);
  return result;
}

void SourceFile::Close() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}
#else
namespace {
template <typename Stamp>
Stamp StampOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}
}  // namespace

SourceFile::OpenResult SourceFile::Open(const wxString& path) {
  Close();
  path_ = path;
  struct stat info;
  // Looked at before opening: opening a device can do something by itself.
  if (::lstat(path.fn_str(), &info) != 0) return OpenResult::Failed;
  if (!S_ISREG(info.st_mode)) return OpenResult::NotRegular;
  // Whatever took the name meanwhile: no link is followed, no pipe waited on.
  fd_ = ::open(path.fn_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return errno == ELOOP ? OpenResult::NotRegular : OpenResult::Failed;
  if (::fstat(fd_, &info) != 0) {
    Close();
    return OpenResult::Failed;
  }
  if (!S_ISREG(info.st_mode)) {
    Close();
    return OpenResult::NotRegular;
  }
  opened_ = StampOf<Stamp>(info);
  length_ = opened_.length;
  attributes_.permissions = info.st_mode & 0777;
  attributes_.modified = opened_.modified;
  return OpenResult::Opened;
}

long long SourceFile::Read(void* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_, data, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

ByteString SourceFile::Tail(std::size_t size) {
  ByteString bytes(size, '\0');
  if (length_ < size) return ByteString();
  const ssize_t got = ::pread(fd_, bytes.data(), size, static_cast<off_t>(length_ - size));
  return got == static_cast<ssize_t>(size) ? bytes : ByteString();
}

bool SourceFile::StampOfPath(Stamp& stamp) const {
  struct stat info;
  if (::lstat(path_.fn_str(), &info) != 0) return false;
  stamp = StampOf<Stamp>(info);
  return true;
}

// The file is checked by its path and then removed by its path: the moment
// in between is as short as the system allows.
SourceFile::RemoveResult SourceFile::RemoveIfUnchanged() {
  if (!Unchanged()) return RemoveResult::Changed;
  Close();
  return ::unlink(path_.fn_str()) == 0 ? RemoveResult::Removed : RemoveResult::Failed;
}

void SourceFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}
#endif

bool SourceFile::Unchanged() {
  Stamp now;
  return StampOfPath(now) && now == opened_;
}

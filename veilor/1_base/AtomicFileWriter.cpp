#include "1_base/AtomicFileWriter.h"

#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <set>
#include <string>

#include <wx/filename.h>
#include <wx/utils.h>

#include "1_base/SystemPath.h"
#include "1_base/TemporaryFiles.h"

#ifdef __WINDOWS__
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

bool AtomicFileWriter::unnamedTemporaries = true;

namespace {

#ifdef __WINDOWS__
int OpenUnnamed(const wxString&) { return -1; }
bool UnnamedUnsupported() { return true; }
bool LinkUnnamed(int, const wxString&) { return false; }
// Marks an open file to be deleted once its last handle closes, or clears
// the mark.
bool MarkForDeletion(HANDLE handle, bool remove) {
  FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}
// The temporary file is marked for deletion from the start: if the process
// dies, the system removes it with the last handle. Nobody else may open it
// meanwhile, except to rename it, so a leftover is told from a file being
// written by whether it can be opened at all (see RemoveStaleTemporaries).
int OpenExclusive(const wxString& path) {
  HANDLE handle =
      CreateFileW(SystemPath(path).wc_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE,
                  FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
    return -1;
  }
  if (!MarkForDeletion(handle, true)) {
    CloseHandle(handle);
    _wunlink(SystemPath(path).wc_str());
    errno = EACCES;
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
  if (fd < 0) {
    CloseHandle(handle);
    errno = EACCES;
  }
  return fd;
}
// Cleared just before the file takes its name: from then on it is a file
// like any other.
bool KeepFile(int fd) {
  return MarkForDeletion(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), false);
}
int WriteSome(int fd, const char* data, std::size_t size) {
  const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
  return _write(fd, data, chunk);
}
// Windows keeps no permission bits: only the time is given before the move.
void ApplyAttributes(int fd, const AtomicFileWriter::Attributes& attributes) {
  if (!attributes.modified) return;
  // FILETIME counts 100 ns steps since 1601.
  const std::int64_t ticks = *attributes.modified / 100 + 116444736000000000LL;
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
  time.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
  SetFileTime(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), nullptr, nullptr, &time);
}
// No flush for a whole volume without administrator rights: each file is
// flushed when sealed, and each move is written through.
bool FlushAtSeal(int fd) { return _commit(fd) == 0; }
bool FlushFiles(const std::vector<int>&) { return true; }
void FlushNames(const std::vector<wxString>&) {}
bool CloseFile(int fd) { return _close(fd) == 0; }
bool Move(const wxString& from, const wxString& to, bool replace, bool& existed) {
  if (MoveFileExW(SystemPath(from).wc_str(), SystemPath(to).wc_str(),
                  MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0))) {
    return true;
  }
  const DWORD error = GetLastError();
  existed = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
  return false;
}
void FinishPlacing(const wxString& target, const AtomicFileWriter::Attributes& attributes) {
  if (attributes.permissions & 0200) return;
  const wxString path = SystemPath(target);
  const DWORD current = GetFileAttributesW(path.wc_str());
  if (current != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesW(path.wc_str(), current | FILE_ATTRIBUTE_READONLY);
  }
}
// A file still marked for deletion goes when it is closed; this is for one
// whose mark was already cleared.
void RemoveFile(const wxString& path) { _wunlink(SystemPath(path).wc_str()); }
bool IdentityOfHandle(HANDLE handle, PlacedFiles::Identity& identity, std::uint64_t& length) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  identity = {info.dwVolumeSerialNumber,
              (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
  length = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  return true;
}
bool IdentityOfFile(int fd, PlacedFiles::Identity& identity, std::uint64_t& length) {
  return IdentityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), identity, length);
}
// The file the name itself leads to, not what a link there points at.
bool IdentityOfName(const wxString& path, PlacedFiles::Identity& identity, std::uint64_t& length) {
  HANDLE handle =
      CreateFileW(SystemPath(path).wc_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool known = IdentityOfHandle(handle, identity, length);
  CloseHandle(handle);
  return known;
}
#else
int OpenUnnamed(const wxString& folder) {
#ifdef O_TMPFILE
  return ::open(folder.fn_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
#else
  errno = EOPNOTSUPP;
  return -1;
#endif
}
// What an older kernel or a file system without unnamed files answers.
bool UnnamedUnsupported() { return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL; }
// Gives the unnamed file a name; fails with EEXIST when the name is taken.
bool LinkUnnamed(int fd, const wxString& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.fn_str(), AT_SYMLINK_FOLLOW) == 0) {
    return true;
  }
  if (errno != ENOENT) return false;
  // Without /proc: allowed only to privileged processes, but worth a try.
  return ::linkat(fd, "", AT_FDCWD, name.fn_str(), AT_EMPTY_PATH) == 0;
}
int OpenExclusive(const wxString& path) {
  return ::open(path.fn_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
}
ssize_t WriteSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
// Best effort: where the file system keeps no modes the file stays owner-only.
void ApplyAttributes(int fd, const AtomicFileWriter::Attributes& attributes) {
  ::fchmod(fd, attributes.permissions & 0777);
  if (!attributes.modified) return;
  const std::int64_t ns = *attributes.modified;
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(ns / 1000000000 - (ns % 1000000000 < 0 ? 1 : 0));
  times[1].tv_nsec =
      static_cast<long>(ns - static_cast<std::int64_t>(times[1].tv_sec) * 1000000000);
  ::futimens(fd, times);
}
bool FlushAtSeal(int) { return true; }
// One file is flushed by itself; for more, one flush of each file system
// they lie on costs one journal commit where each file's own would cost one each.
bool FlushFiles(const std::vector<int>& fds) {
  if (fds.size() == 1) return ::fsync(fds.front()) == 0;
  std::set<dev_t> flushed;
  bool ok = true;
  for (int fd : fds) {
    struct stat info;
    if (::fstat(fd, &info) != 0) return false;
    if (flushed.insert(info.st_dev).second) ok = ::syncfs(fd) == 0 && ok;
  }
  return ok;
}
// Makes the new names durable: the folder of one, the file systems of many.
// A failure here leaves complete files.
void FlushNames(const std::vector<wxString>& targets) {
  std::set<wxString> folders;
  for (const wxString& target : targets) folders.insert(wxFileName(target).GetPath());
  std::set<dev_t> flushed;
  for (const wxString& folder : folders) {
    const int dir = ::open(folder.empty() ? "." : static_cast<const char*>(folder.fn_str()),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) continue;
    struct stat info;
    if (folders.size() == 1) {
      ::fsync(dir);
    } else if (::fstat(dir, &info) == 0 && flushed.insert(info.st_dev).second) {
      ::syncfs(dir);
    }
    ::close(dir);
  }
}
bool CloseFile(int fd) { return ::close(fd) == 0; }
bool Move(const wxString& from, const wxString& to, bool replace, bool& existed) {
  if (replace) return ::rename(from.fn_str(), to.fn_str()) == 0;
  if (::renameat2(AT_FDCWD, from.fn_str(), AT_FDCWD, to.fn_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    existed = errno == EEXIST;
    return false;
  }
  // A file system that cannot refuse in a rename: a hard link refuses just the same.
  if (::link(from.fn_str(), to.fn_str()) != 0) {
    existed = errno == EEXIST;
    return false;
  }
  ::unlink(from.fn_str());
  return true;
}
bool KeepFile(int) { return true; }
void FinishPlacing(const wxString&, const AtomicFileWriter::Attributes&) {}
void RemoveFile(const wxString& path) { ::unlink(path.fn_str()); }
void IdentityOfStat(const struct stat& info, PlacedFiles::Identity& identity,
                    std::uint64_t& length) {
  identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  length = static_cast<std::uint64_t>(info.st_size);
}
bool IdentityOfFile(int fd, PlacedFiles::Identity& identity, std::uint64_t& length) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return false;
  IdentityOfStat(info, identity, length);
  return true;
}
// The file the name itself leads to, not what a link there points at.
bool IdentityOfName(const wxString& path, PlacedFiles::Identity& identity, std::uint64_t& length) {
  struct stat info;
  if (::lstat(path.fn_str(), &info) != 0) return false;
  IdentityOfStat(info, identity, length);
  return true;
}
#endif

std::atomic<unsigned> counter{0};

}  // namespace

bool PlacedFiles::Contains(const Identity& identity) const {
  const std::lock_guard guard(mutex_);
  return placed_.count(identity) != 0;
}

void PlacedFiles::Add(const Identity& identity) {
  const std::lock_guard guard(mutex_);
  placed_.insert(identity);
}

AtomicFileWriter::AtomicFileWriter(const wxString& target)
    : target_(target), folder_(wxFileName(target).GetPath()) {
  if (folder_.empty()) folder_ = ".";
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Open() {
  Discard();
  targetExisted_ = false;
  RemoveStaleTemporaries(folder_);
  if (unnamedTemporaries) {
    fd_ = OpenUnnamed(folder_);
    unnamed_ = fd_ >= 0;
    if (unnamed_) return true;
    if (!UnnamedUnsupported()) return false;
  }
  return OpenNamed();
}

bool AtomicFileWriter::OpenNamed() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ =
        folder_ + wxFileName::GetPathSeparator() + TemporaryFileName(wxGetProcessId(), counter++);
    fd_ = OpenExclusive(temporary_);
    if (fd_ >= 0) return true;
    if (errno != EEXIST) break;
  }
  temporary_.clear();
  return false;
}

bool AtomicFileWriter::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const auto written = WriteSome(fd_, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFileWriter::Commit(bool sync) {
  targetExisted_ = targetPlacedBefore_ = false;
  if (fd_ < 0) return false;
  if (!Seal(sync) || (sync && !FlushFiles({fd_}))) {
    Discard();
    return false;
  }
  if (!Place()) return false;
  if (sync) FlushNames({target_});
  return true;
}

void AtomicFileWriter::CommitTogether(std::vector<GroupEntry>& entries) {
  std::vector<bool> sealed;
  std::vector<int> durable;
  for (GroupEntry& entry : entries) {
    entry.placed = false;
    entry.writer->targetExisted_ = entry.writer->targetPlacedBefore_ = false;
    sealed.push_back(entry.writer->fd_ >= 0 && entry.writer->Seal(entry.durable));
    if (sealed.back() && entry.durable) durable.push_back(entry.writer->fd_);
  }
  const bool flushed = durable.empty() || FlushFiles(durable);
  std::vector<wxString> names;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    AtomicFileWriter& writer = *entries[i].writer;
    if (!sealed[i] || (entries[i].durable && !flushed)) {
      writer.Discard();
      continue;
    }
    entries[i].placed = writer.Place();
    if (entries[i].placed && entries[i].durable) names.push_back(writer.target_);
  }
  if (!names.empty()) FlushNames(names);
}

bool AtomicFileWriter::Seal(bool durable) {
  ApplyAttributes(fd_, attributes_);
  return !durable || FlushAtSeal(fd_);
}

bool AtomicFileWriter::Place() {
  // Placing is one writer after another: nothing of the set can take the
  // name between this look and the move.
  PlacedFiles::Identity there;
  std::uint64_t length = 0;
  if (placed_ && replace_ && IdentityOfName(target_, there, length) && placed_->Contains(there)) {
    targetPlacedBefore_ = true;
    Discard();
    return false;
  }
  // A rename keeps the volume, and Wine forgets it for a renamed file.
  PlacedFiles::Identity before;
  const bool volumeKnown = IdentityOfFile(fd_, before, length);
  bool placed = false;
  if (unnamed_) {
    placed = CommitUnnamed();
  } else {
    // Moved while still open: on Windows nobody else can open it meanwhile.
    placed = KeepFile(fd_) && Move(temporary_, target_, replace_, targetExisted_);
  }
  // Known only once it has its name: FAT numbers a file by where its name is.
  known_ = placed && volumeKnown && IdentityOfFile(fd_, identity_, length_);
  identity_.first = before.first;
  placed = CloseFile(fd_) && placed;
  fd_ = -1;
  if (!placed) {
    Discard();
    return false;
  }
  temporary_.clear();
  FinishPlacing(target_, attributes_);
  if (placed_ && known_) placed_->Add(identity_);
  return true;
}

bool AtomicFileWriter::TargetIsOwn() const {
  PlacedFiles::Identity there;
  std::uint64_t length = 0;
  return known_ && IdentityOfName(target_, there, length) && there == identity_ &&
         length == length_;
}

bool AtomicFileWriter::CommitUnnamed() {
  if (!replace_) {
    if (LinkUnnamed(fd_, target_)) return true;
    targetExisted_ = errno == EEXIST;
    return false;
  }
  // Replacing takes a rename, and a rename takes a name.
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ =
        folder_ + wxFileName::GetPathSeparator() + TemporaryFileName(wxGetProcessId(), counter++);
    if (LinkUnnamed(fd_, temporary_)) return Move(temporary_, target_, true, targetExisted_);
    if (errno != EEXIST) break;
  }
  temporary_.clear();
  return false;
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) {
    CloseFile(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    RemoveFile(temporary_);
    temporary_.clear();
  }
  unnamed_ = false;
}

#include "core/AtomicFileWriter.h"

#include <fcntl.h>

#include <atomic>
#include <cerrno>

#include <wx/filename.h>
#include <wx/utils.h>

#ifdef __WINDOWS__
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef __WINDOWS__
int OpenExclusive(const wxString& path) {
  return _wopen(path.wc_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, 0666);
}
int WriteSome(int fd, const char* data, std::size_t size) {
  const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
  return _write(fd, data, chunk);
}
bool SyncAndClose(int fd, bool sync) {
  const bool synced = !sync || _commit(fd) == 0;
  return (_close(fd) == 0) && synced;
}
bool MoveOnto(const wxString& from, const wxString& to, bool sync) {
  return MoveFileExW(from.wc_str(), to.wc_str(),
                     MOVEFILE_REPLACE_EXISTING | (sync ? MOVEFILE_WRITE_THROUGH : 0)) != 0;
}
void RemoveFile(const wxString& path) { _wunlink(path.wc_str()); }
#else
int OpenExclusive(const wxString& path) {
  return ::open(path.fn_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
}
ssize_t WriteSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
bool SyncAndClose(int fd, bool sync) {
  const bool synced = !sync || ::fsync(fd) == 0;
  return (::close(fd) == 0) && synced;
}
bool MoveOnto(const wxString& from, const wxString& to, bool sync) {
  if (::rename(from.fn_str(), to.fn_str()) != 0) return false;
  if (!sync) return true;
  // Make the rename itself durable; a failure here leaves a complete file.
  const int dir = ::open(wxFileName(to).GetPath().fn_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}
void RemoveFile(const wxString& path) { ::unlink(path.fn_str()); }
#endif

}  // namespace

AtomicFileWriter::AtomicFileWriter(const wxString& target) : target_(target) {}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Open() {
  static std::atomic<unsigned> counter{0};
  Discard();
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = wxString::Format("%s.%lu-%u.tmp", target_, wxGetProcessId(), counter++);
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
  if (fd_ < 0) return false;
  const bool closed = SyncAndClose(fd_, sync);
  fd_ = -1;
  if (!closed || !MoveOnto(temporary_, target_, sync)) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) {
#ifdef __WINDOWS__
    _close(fd_);
#else
    ::close(fd_);
#endif
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    RemoveFile(temporary_);
    temporary_.clear();
  }
}

#pragma once

#include <cstddef>

#include <wx/string.h>

// Writes a file so that it is either completely replaced or left as it was:
// the bytes go to a temporary file beside the target, which is flushed to disk
// and then renamed over the target. A writer that is destroyed without a
// successful Commit removes its temporary file.
class AtomicFileWriter {
public:
  explicit AtomicFileWriter(const wxString& target);
  ~AtomicFileWriter();

  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file. False when the target's folder is not writable.
  bool Open();

  // False on a write error (disk full, I/O error).
  bool Write(const void* data, std::size_t size);

  // Flushes, closes and moves the temporary file onto the target. Without
  // `sync` the data is not forced to disk first: the move is still all or
  // nothing, and large files that nothing else depends on are not slowed down.
  bool Commit(bool sync = true);

  const wxString& TemporaryPath() const { return temporary_; }

private:
  void Discard();

  wxString target_;
  wxString temporary_;
  int fd_ = -1;
};

#pragma once

#include <cstddef>
#include <cstdint>

#include <wx/string.h>

#include "1_base/AtomicFileWriter.h"
#include "2_crypto/ByteString.h"

// The file a procedure reads. Only a regular file is opened: a link, a pipe
// or a device is refused before anything is read, and opening never waits.
// What the file is (its identity, length and modification time) is fixed at
// opening, so that it is removed afterwards only if it is still that file,
// unchanged.
class SourceFile {
public:
  enum class OpenResult { Opened, NotRegular, Failed };
  enum class RemoveResult { Removed, Changed, Failed };

  SourceFile() = default;
  ~SourceFile();

  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  OpenResult Open(const wxString& path);

  // The length when opened; reading stops there even if the file grows.
  std::uint64_t Length() const { return length_; }

  // Reads from the current position; the number of bytes read, or -1.
  long long Read(void* data, std::size_t size);

  // The last `size` bytes of the opened length, leaving the position at the
  // start; empty when the file is shorter or cannot be read.
  ByteString Tail(std::size_t size);

  // Permission bits and modification time, for the output to take over.
  const AtomicFileWriter::Attributes& Attributes() const { return attributes_; }

  // Closes the file once it is read; what it was stays known for the checks
  // below. A batch keeps many read files waiting for their removal.
  void EndReading() { Close(); }

  // True while the path names the very file that was opened, with the
  // length and modification time it had then.
  bool Unchanged();

  // Closes the file and removes it, but only while it is unchanged.
  RemoveResult RemoveIfUnchanged();

private:
  // Identity, length and modification time of the file as it is now,
  // looked up by its path; false when the path names no file.
  struct Stamp {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t length = 0;
    std::int64_t modified = 0;
    bool operator==(const Stamp&) const = default;
  };
  bool StampOfPath(Stamp& stamp) const;
  void Close();

  wxString path_;
  Stamp opened_;
  std::uint64_t length_ = 0;
  AtomicFileWriter::Attributes attributes_;
#ifdef __WINDOWS__
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

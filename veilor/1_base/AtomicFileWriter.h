#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <wx/string.h>

// Writes a file so that it is either completely there or not at all: the
// bytes go to a temporary file in the target's folder, which takes the
// target's name only when complete. On Linux the temporary file has no name
// at all where the file system allows it, so a killed process leaves nothing
// behind; elsewhere it has a short name of its own that later writers in the
// same folder remove once its process is gone. The temporary file is
// readable by its owner only from the moment it exists.
class AtomicFileWriter {
public:
  // What the file gets before it becomes visible.
  struct Attributes {
    // Permission bits; on Windows only the missing owner write bit counts
    // (the file is made read-only).
    unsigned permissions = 0600;
    // Nanoseconds since 1970; the time of writing when not set.
    std::optional<std::int64_t> modified;
  };

  explicit AtomicFileWriter(const wxString& target);
  ~AtomicFileWriter();

  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void SetAttributes(const Attributes& attributes) { attributes_ = attributes; }

  // With false, Commit fails rather than replace a file that has the
  // target's name by then, however late it appeared.
  void SetReplaceExisting(bool replace) { replace_ = replace; }

  // Creates the temporary file. False when the target's folder is not writable.
  bool Open();

  // False on a write error (disk full, I/O error).
  bool Write(const void* data, std::size_t size);

  // Gives the file its attributes, flushes it, and makes it the target.
  // Without `sync` the data is not forced to disk first: the move is still
  // all or nothing, and large files that nothing else depends on are not
  // slowed down.
  bool Commit(bool sync = true);

  // Commit for many files at once, with two flushes for the whole group in
  // place of two for each file: every file gets its attributes, the data of
  // those that must be durable goes to disk, every file takes its name, and
  // those names go to disk. A flush that fails places none of the durable
  // files. Each entry tells whether its file was placed.
  struct GroupEntry {
    AtomicFileWriter* writer = nullptr;
    bool durable = true;
    bool placed = false;
  };
  static void CommitTogether(std::vector<GroupEntry>& entries);

  // True after a Commit that failed only because the target existed while
  // replacing was off.
  bool TargetExisted() const { return targetExisted_; }

private:
  // Off, the temporary file always has a name, as on file systems that
  // cannot create unnamed files (and on Windows). Tests of that way switch
  // it through their seam.
  static bool unnamedTemporaries;
  friend struct AtomicFileWriterSeam;

  bool OpenNamed();
  // The halves of Commit: attributes (and, where each file must be flushed
  // by itself, the flush), then the name.
  bool Seal(bool durable);
  bool Place();
  bool CommitUnnamed();
  void Discard();

  wxString target_;
  wxString folder_;
  wxString temporary_;
  Attributes attributes_;
  bool replace_ = true;
  bool targetExisted_ = false;
  bool unnamed_ = false;
  int fd_ = -1;
};

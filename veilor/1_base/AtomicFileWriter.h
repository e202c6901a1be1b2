#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include <wx/string.h>

// The files that the writers of one batch placed, known by volume and file
// index rather than by name: two names that the file system takes for one
// (on a case-insensitive folder, or as Windows rewrites names) still show
// the same file.
class PlacedFiles {
public:
  using Identity = std::pair<std::uint64_t, std::uint64_t>;
  bool Contains(const Identity& identity) const;
  void Add(const Identity& identity);

private:
  mutable std::mutex mutex_;
  std::set<Identity> placed_;
};

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

  // With a set, Commit never replaces a file in it (it fails instead, see
  // TargetPlacedBefore), and a placed file joins it.
  void SetPlacedFiles(std::shared_ptr<PlacedFiles> placed) { placed_ = std::move(placed); }

  // True after a Commit that failed only because the target existed while
  // replacing was off.
  bool TargetExisted() const { return targetExisted_; }
  // True after a Commit that failed because the target was a file of the
  // placed set.
  bool TargetPlacedBefore() const { return targetPlacedBefore_; }

  // After a Commit: true while the target's name still leads to the file
  // written here, with the length it was given.
  bool TargetIsOwn() const;

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
  bool targetPlacedBefore_ = false;
  std::shared_ptr<PlacedFiles> placed_;
  // What the written file is, known once it is sealed.
  PlacedFiles::Identity identity_;
  std::uint64_t length_ = 0;
  bool known_ = false;
  bool unnamed_ = false;
  int fd_ = -1;
};

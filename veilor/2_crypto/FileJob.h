#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <wx/string.h>

#include "1_age/AgeError.h"
#include "1_age/AgeFile.h"
#include "2_crypto/ByteString.h"
#include "2_crypto/FileProcedures.h"
#include "2_crypto/SourceFile.h"

class AtomicFileWriter;

enum class FileOperation {
  EncryptAes,
  DecryptAes,
  EncryptDes3,
  DecryptDes3,
  EncryptAge,
  DecryptAge
};

inline bool IsAgeOperation(FileOperation operation) {
  return operation == FileOperation::EncryptAge || operation == FileOperation::DecryptAge;
}

// One file's procedure in two phases, so that a batch can write files on a
// worker thread and commit many of them with one flush: Write checks the
// file and writes its output into a temporary file; CommitGroup then gives
// the outputs their names and removes the sources. A source is removed only
// once its output is complete under its name and on disk.
//
// A job is used by one thread at a time; only Abandon may be called from
// another thread meanwhile. The context's functions are called by the thread
// that runs the phase.
class FileJob {
public:
  FileJob(FileOperation operation, const wxString& path, FileContext context);
  ~FileJob();

  FileJob(const FileJob&) = delete;
  FileJob& operator=(const FileJob&) = delete;

  // Checks the file and writes its output. Afterwards the job either waits
  // to be committed or has its outcome already.
  void Write();

  // Places the outputs written by `jobs` (others are passed over) and
  // removes their sources as asked, flushing once for the whole group, and
  // gives each job its outcome, in order.
  static void CommitGroup(const std::vector<FileJob*>& jobs);

  // Drops the file, at the next chunk if it is being written, and passes it
  // over when its group is committed: no output, the source kept, no outcome
  // and nothing logged.
  void Abandon() { abandoned_ = true; }
  // Abandons the file at the user's request: as Abandon, but the job's
  // outcome says so ("Incomplete", no output written, the source kept).
  void Stop() {
    stopped_ = true;
    abandoned_ = true;
  }

  bool AwaitsCommit() const { return state_ == State::Written && !abandoned_; }
  // The bytes written so far.
  std::uint64_t BytesWritten() const { return written_; }
  const FileOutcome& Outcome() const { return outcome_; }

private:
  enum class State { New, Written, Done, Abandoned };

  void WriteEncrypted();
  void WriteDecrypted();
  void WriteAgeEncrypted();
  void WriteAgeDecrypted();
  // Progress and stop checks of an age file's payload, by its bytes read.
  age::Progress AgeProgress();
  // Writes a piece of an age file's output; false when it failed or the
  // file was abandoned.
  bool WriteOut(const void* data, std::size_t size);
  // The outcome of an age file that failed.
  void AgeFailed(const age::AgeError& error);
  bool OpenSource(int errorId);
  // The source of a decryption, named NAME + extension, and its output NAME;
  // false when the file got its outcome instead.
  bool OpenForDecryption(const wxString& extension);
  // The temporary file the output is written to until it is placed.
  void OpenOutput();
  // Runs a key derivation, which the report shows as such; a file abandoned
  // meanwhile ends there.
  void Derive(const std::function<void()>& derivation);
  void Transform(std::uint64_t tail, const ByteString& trailer);
  void Finish(int statusId, const wxString& description, int severity, int mode);
  void Incomplete(const wxString& description);
  void Skipped(int descriptionId);
  SourceFile::RemoveResult SettleSource();
  void SourceSettled(SourceFile::RemoveResult result);
  void Drop();

  FileOperation operation_;
  wxString path_;
  wxString output_;
  FileContext context_;
  std::unique_ptr<SourceFile> source_;
  std::unique_ptr<AtomicFileWriter> writer_;
  State state_ = State::New;
  std::atomic<bool> abandoned_{false};
  std::atomic<bool> stopped_{false};
  std::uint64_t written_ = 0;
  // The output's name led elsewhere when the source was to go.
  bool outputReplaced_ = false;
  FileOutcome outcome_;
};

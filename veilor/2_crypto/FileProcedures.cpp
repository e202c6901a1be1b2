#include "2_crypto/FileProcedures.h"

#include "2_crypto/FileJob.h"

namespace {
// One file is a group of its own: written, committed, and its source removed.
FileOutcome RunJob(FileOperation operation, const wxString& path, const FileContext& context) {
  FileJob job(operation, path, context);
  job.Write();
  FileJob::CommitGroup({&job});
  return job.Outcome();
}
}  // namespace

FileOutcome EncryptFileAes(const wxString& path, const FileContext& context) {
  return RunJob(FileOperation::EncryptAes, path, context);
}

FileOutcome DecryptFileAes(const wxString& path, const FileContext& context) {
  return RunJob(FileOperation::DecryptAes, path, context);
}

FileOutcome EncryptFileDes3(const wxString& path, const FileContext& context) {
  return RunJob(FileOperation::EncryptDes3, path, context);
}

FileOutcome DecryptFileDes3(const wxString& path, const FileContext& context) {
  return RunJob(FileOperation::DecryptDes3, path, context);
}

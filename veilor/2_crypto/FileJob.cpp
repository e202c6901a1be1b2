#include "2_crypto/FileJob.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <system_error>
#include <thread>

#include <cryptopp/files.h>
#include <cryptopp/filters.h>
#include <wx/filefn.h>

#include "1_base/AtomicFileWriter.h"
#include "1_base/LogLevels.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/SystemPath.h"
#include "1_base/Utf8Names.h"
#include "2_crypto/Ciphers.h"
#include "2_crypto/FileStreaming.h"
#include "2_crypto/FileTrailer.h"
#include "2_crypto/SourceFile.h"
#include "2_crypto/SplitCbcDecryptor.h"

namespace {
// Unwinds a file that is dropped while it is written.
struct AbandonedFile {};

FileAlgorithm AlgorithmOf(FileOperation operation) {
  return operation == FileOperation::EncryptAes || operation == FileOperation::DecryptAes
             ? FileAlgorithm::Aes
             : FileAlgorithm::Des3;
}

bool Encrypts(FileOperation operation) {
  return operation == FileOperation::EncryptAes || operation == FileOperation::EncryptDes3 ||
         operation == FileOperation::EncryptAge;
}

wxString Extension(FileAlgorithm algorithm) {
  return Msg(algorithm == FileAlgorithm::Aes ? msg::ExtAes : msg::ExtDes3);
}

// Removing a file can wait on the disk (where freed blocks are discarded at
// once, each removal does): a group's removals run side by side, so that
// their waits overlap. Threads that cannot be had leave the work to the rest.
constexpr std::size_t kRemovers = 8;

void SideBySide(std::size_t count, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  const auto run = [&] {
    for (std::size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> threads;
  try {
    while (threads.size() + 1 < std::min(kRemovers, count)) threads.emplace_back(run);
  } catch (const std::system_error&) {
  }
  run();
  for (std::thread& thread : threads) thread.join();
}
}  // namespace

FileJob::FileJob(FileOperation operation, const wxString& path, FileContext context)
    : operation_(operation), path_(path), context_(std::move(context)) {}

FileJob::~FileJob() = default;

void FileJob::Write() {
  if (abandoned_) return Drop();
  try {
    if (IsAgeOperation(operation_)) {
      Encrypts(operation_) ? WriteAgeEncrypted() : WriteAgeDecrypted();
    } else {
      Encrypts(operation_) ? WriteEncrypted() : WriteDecrypted();
    }
  } catch (const AbandonedFile&) {
    abandoned_ = true;
  } catch (const age::AgeError& error) {
    // A stop or an abandonment also ends the payload with an error of its own.
    if (!abandoned_) AgeFailed(error);
  } catch (const CryptoPP::Exception& error) {
    Incomplete(Msg(Encrypts(operation_) ? msg::EncryptionError : msg::DecryptionError) +
               Msg(msg::Colon) + Msg(msg::Space) + ErrorDescription(error));
  }
  if (abandoned_ && state_ != State::Done) Drop();
}

// The file is left as it was: its temporary output goes now, not when the
// job does; a stop is reported, a plain abandonment is not.
void FileJob::Drop() {
  writer_.reset();
  source_.reset();
  state_ = State::Abandoned;
  if (stopped_) {
    Finish(msg::StatusIncomplete, Msg(msg::StoppedInWork), LogLevels::Warning, LogLevels::LogOnly);
  }
}

void FileJob::WriteEncrypted() {
  const FileAlgorithm algorithm = AlgorithmOf(operation_);
  output_ = path_ + Extension(algorithm);
  const bool aes = algorithm == FileAlgorithm::Aes;
  if (aes && path_.EndsWith(Extension(algorithm))) return Skipped(msg::SecondEncryption);
  if (!OpenSource(msg::EncryptionError)) return;
  // Counter mode undoes itself: a file of ours under another name would come
  // out as its plain text, also with a line end or a few bytes appended.
  if (aes) {
    const std::uint64_t looked =
        std::min<std::uint64_t>(source_->Length(), kTrailerSize + kTrailerSlack);
    if (TrailerNearEnd(context_.keyText, source_->Tail(static_cast<std::size_t>(looked)),
                       algorithm)) {
      return Skipped(msg::SecondEncryption);
    }
  }
  if (FileExistsAsSpelled(output_) && !context_.overwriteExisting())
    return Skipped(msg::OutputExists);
  Transform(0, MakeTrailer(context_.keyText, algorithm));
}

void FileJob::WriteDecrypted() {
  const FileAlgorithm algorithm = AlgorithmOf(operation_);
  if (!OpenForDecryption(Extension(algorithm))) return;
  if (!IsTrailer(context_.keyText, source_->Tail(kTrailerSize), algorithm)) {
    return Incomplete(Msg(msg::WrongPasswordOrAlgorithm));
  }
  Transform(kTrailerSize, {});
}

// An age file takes a key derived from the password with a new salt, so
// nothing about an earlier file of ours lets its plain text out again: only
// a file that already is an age file (by its first line) is passed over.
void FileJob::WriteAgeEncrypted() {
  output_ = path_ + Msg(msg::ExtAge);
  if (!OpenSource(msg::EncryptionError)) return;
  std::string head(std::min<std::uint64_t>(age::kSniffSize, source_->Length()), '\0');
  if (!head.empty() &&
      source_->Read(head.data(), head.size()) != static_cast<long long>(head.size())) {
    throw CryptoPP::FileStore::ReadErr();
  }
  if (age::LooksLikeAgeFile(head)) return Skipped(msg::AgeAlreadyEncrypted);
  if (FileExistsAsSpelled(output_) && !context_.overwriteExisting()) {
    return Skipped(msg::OutputExists);
  }
  std::optional<age::Encryptor> encryptor;
  Derive([&] {
    encryptor.emplace(age::Encryptor::ForPassphrase(context_.passphrase, context_.ageWorkFactor));
  });
  OpenOutput();
  // The head already read comes first, then the rest of the file.
  std::size_t headTaken = 0;
  encryptor->Run(
      [&](void* data, std::size_t size) -> long long {
        if (headTaken < head.size()) {
          const std::size_t part = std::min(size, head.size() - headTaken);
          std::memcpy(data, head.data() + headTaken, part);
          headTaken += part;
          return static_cast<long long>(part);
        }
        return source_->Read(data, size);
      },
      [this](const void* data, std::size_t size) { return WriteOut(data, size); }, AgeProgress());
  source_->EndReading();
  state_ = State::Written;
}

// Nothing of the plain text is placed unless the header's MAC and every
// chunk up to the final one verified, with nothing after it: the output
// stays a temporary file until then, and any failure drops it.
void FileJob::WriteAgeDecrypted() {
  if (!OpenForDecryption(Msg(msg::ExtAge))) return;
  age::Decryptor decryptor(
      [this](void* data, std::size_t size) { return source_->Read(data, size); });
  Derive([&] { decryptor.UnlockWithPassphrase(context_.passphrase); });
  OpenOutput();
  decryptor.Run([this](const void* data, std::size_t size) { return WriteOut(data, size); },
                AgeProgress());
  source_->EndReading();
  state_ = State::Written;
}

bool FileJob::OpenForDecryption(const wxString& extension) {
  if (!path_.EndsWith(extension)) {
    Finish(msg::StatusSkipped, Msg(msg::NoSpecificExtension), LogLevels::Information,
           LogLevels::LogAndBox);
    return false;
  }
  output_ = path_.Left(path_.length() - extension.length());
  if (!OpenSource(msg::DecryptionError)) return false;
  if (FileExistsAsSpelled(output_) && !context_.overwriteExisting()) {
    Skipped(msg::OutputExists);
    return false;
  }
  return true;
}

void FileJob::OpenOutput() {
  writer_ = std::make_unique<AtomicFileWriter>(output_);
  if (!writer_->Open()) throw CryptoPP::FileSink::OpenErr(NarrowPath(output_));
}

void FileJob::Derive(const std::function<void()>& derivation) {
  if (context_.deriving) context_.deriving(true);
  derivation();
  if (context_.deriving) context_.deriving(false);
  if (abandoned_) throw AbandonedFile();
}

bool FileJob::WriteOut(const void* data, std::size_t size) {
  if (abandoned_ || !writer_->Write(data, size)) return false;
  written_ += size;
  return true;
}

age::Progress FileJob::AgeProgress() {
  age::Progress progress;
  const std::uint64_t length = source_->Length();
  progress.advanced = [this, length, passed = -1](std::uint64_t read) mutable {
    const int reached =
        length == 0
            ? kFileSteps - 1
            : static_cast<int>(std::min<std::uint64_t>(read * kFileSteps / length, kFileSteps)) - 1;
    while (passed < reached) {
      ++passed;
      if (context_.progress) context_.progress(passed);
    }
    // Taken up before the next run of chunks, like any abandonment.
    if (context_.stopRequested && context_.stopRequested()) Stop();
  };
  progress.cancelled = [this] { return abandoned_.load(); };
  return progress;
}

void FileJob::AgeFailed(const age::AgeError& error) {
  int text = 0;
  switch (error.Kind()) {
    case age::Failure::NotAgeFile:
    case age::Failure::Header:
    case age::Failure::Armor: text = msg::AgeNotAnAgeFile; break;
    case age::Failure::WorkFactorTooHigh: text = msg::AgeWorkFactorTooHigh; break;
    case age::Failure::WrongPassphrase: text = msg::WrongPasswordOrAlgorithm; break;
    case age::Failure::NoMatchingIdentity:
    case age::Failure::RecipientsOnly: text = msg::AgeForRecipients; break;
    case age::Failure::HeaderMac:
    case age::Failure::Payload: text = msg::AgeFileChanged; break;
    case age::Failure::Truncated: text = msg::AgeFileTruncated; break;
    case age::Failure::Resources: text = msg::OutOfMemory; break;
    default: break;
  }
  if (text != 0) return Incomplete(Msg(text));
  // Reading, writing and the rest: the error as the library tells it.
  Incomplete(Msg(Encrypts(operation_) ? msg::EncryptionError : msg::DecryptionError) +
             Msg(msg::Colon) + Msg(msg::Space) + wxString::FromUTF8(error.what()));
}

// The source, opened; an outcome instead when it is no regular file or
// cannot be opened.
bool FileJob::OpenSource(int errorId) {
  source_ = std::make_unique<SourceFile>();
  switch (source_->Open(path_)) {
    case SourceFile::OpenResult::Opened: return true;
    case SourceFile::OpenResult::NotRegular: Skipped(msg::NotRegularFile); return false;
    case SourceFile::OpenResult::Failed: break;
  }
  Incomplete(Msg(errorId) + Msg(msg::Colon) + Msg(msg::Space) +
             ErrorDescription(CryptoPP::FileStore::OpenErr(NarrowPath(path_))));
  return false;
}

// Streams the source, less its last `tail` bytes, through the cipher into a
// temporary file, then appends `trailer`; for Triple-DES the padding is
// added, or checked and removed, at the end.
void FileJob::Transform(std::uint64_t tail, const ByteString& trailer) {
  if (source_->Length() < tail) throw CryptoPP::FileStore::ReadErr();
  OpenOutput();
  const std::uint64_t dataLength = source_->Length() - tail;
  const auto progress = [this](int step) {
    if (context_.progress) context_.progress(step);
    // Taken up at the next chunk, like any abandonment.
    if (context_.stopRequested && context_.stopRequested()) Stop();
  };
  const auto write = [this](const void* data, std::size_t size) {
    if (abandoned_) throw AbandonedFile();
    if (!writer_->Write(data, size)) throw CryptoPP::FileSink::WriteErr();
    written_ += size;
  };
  if (AlgorithmOf(operation_) == FileAlgorithm::Aes) {
    // Counter mode has no blocks or padding to keep: each chunk is
    // enciphered in place and written as it is, the fastest way through.
    auto cipher = MakeAesCipher(context_.keyText);
    StreamInSteps(
        *source_, dataLength,
        [&](CryptoPP::byte* data, std::size_t size) {
          cipher->ProcessData(data, data, size);
          write(data, size);
        },
        progress);
  } else {
    // Triple-DES adds its padding, or checks and removes it, at the end.
    const auto streamThrough = [&](auto& chain) {
      StreamInSteps(
          *source_, dataLength,
          [&](CryptoPP::byte* data, std::size_t size) {
            if (abandoned_) throw AbandonedFile();
            chain.Put(data, size);
          },
          progress);
      chain.MessageEnd();
      written_ = dataLength;
    };
    if (Encrypts(operation_)) {
      auto cipher = MakeDes3Encryptor(context_.keyText);
      CryptoPP::StreamTransformationFilter chain(*cipher, new WriterSink(*writer_));
      streamThrough(chain);
    } else {
      // Triple-DES is slow enough to want every core; CBC decryption can
      // have them, as each block needs only the ciphertext block before it.
      WriterSink sink(*writer_);
      SplitCbcDecryptor chain([this] { return MakeDes3Decryptor(context_.keyText); }, sink);
      streamThrough(chain);
    }
  }
  if (!trailer.empty()) write(trailer.data(), trailer.size());
  source_->EndReading();
  state_ = State::Written;
}

void FileJob::CommitGroup(const std::vector<FileJob*>& jobs) {
  std::vector<FileJob*> written;
  std::vector<AtomicFileWriter::GroupEntry> entries;
  for (FileJob* job : jobs) {
    if (job->state_ == State::Written && job->abandoned_) job->Drop();
    if (!job->AwaitsCommit()) continue;
    job->writer_->SetAttributes(job->source_->Attributes());
    job->writer_->SetReplaceExisting(job->context_.overwriteExisting());
    job->writer_->SetPlacedFiles(job->context_.placedOutputs);
    // Once the source is to go, the output must be on disk before it does.
    entries.push_back({job->writer_.get(), job->context_.removeSource()});
    written.push_back(job);
  }
  AtomicFileWriter::CommitTogether(entries);
  std::vector<SourceFile::RemoveResult> removed(written.size());
  SideBySide(written.size(), [&](std::size_t i) {
    if (entries[i].placed) removed[i] = written[i]->SettleSource();
  });
  for (std::size_t i = 0; i < written.size(); ++i) {
    FileJob& job = *written[i];
    const bool existed = job.writer_->TargetExisted();
    const bool placedBefore = job.writer_->TargetPlacedBefore();
    job.writer_.reset();
    if (entries[i].placed) {
      job.SourceSettled(removed[i]);
    } else if (existed) {
      job.Skipped(msg::OutputExists);
    } else if (placedBefore) {
      job.Incomplete(Msg(msg::OutputOfAnotherFile));
    } else {
      job.Incomplete(Msg(Encrypts(job.operation_) ? msg::EncryptionError : msg::DecryptionError) +
                     Msg(msg::Colon) + Msg(msg::Space) +
                     ErrorDescription(CryptoPP::FileSink::WriteErr()));
    }
  }
}

// Removes the source once its output is complete, when the user asked for
// it, and only if it is still the file that was read: a source that grew,
// changed or was replaced meanwhile is kept, and so is the output. Touches
// nothing but the source, so that a group's run side by side.
SourceFile::RemoveResult FileJob::SettleSource() {
  if (context_.removeSource()) {
    // Whatever took the output's name since (another name for the same
    // entry, another program), the source stays unless its output is there.
    if (!writer_->TargetIsOwn()) {
      outputReplaced_ = true;
      return SourceFile::RemoveResult::Changed;
    }
    return source_->RemoveIfUnchanged();
  }
  return source_->Unchanged() ? SourceFile::RemoveResult::Removed
                              : SourceFile::RemoveResult::Changed;
}

// The outcome of a placed output, by what became of its source.
void FileJob::SourceSettled(SourceFile::RemoveResult result) {
  source_.reset();
  if (outputReplaced_) return Incomplete(Msg(msg::OutputReplaced));
  switch (result) {
    case SourceFile::RemoveResult::Removed: break;
    case SourceFile::RemoveResult::Changed: return Incomplete(Msg(msg::SourceChanged));
    case SourceFile::RemoveResult::Failed: return Incomplete(Msg(msg::ErrorRemoveSource));
  }
  Finish(msg::StatusDone, wxEmptyString, LogLevels::Information, LogLevels::LogOnly);
}

// Gives the outcome and logs it (its description, or "Done", then the path).
void FileJob::Finish(int statusId, const wxString& description, int severity, int mode) {
  outcome_ = {Msg(statusId), description};
  state_ = State::Done;
  writer_.reset();
  source_.reset();
  const wxString what = statusId == msg::StatusDone ? outcome_.status : description;
  if (context_.log) context_.log(what + Msg(msg::Space) + EscapedName(path_), severity, mode);
}

void FileJob::Incomplete(const wxString& description) {
  Finish(msg::StatusIncomplete, description, LogLevels::Error, LogLevels::LogOnly);
}

void FileJob::Skipped(int descriptionId) {
  Finish(msg::StatusSkipped, Msg(descriptionId), LogLevels::Warning, LogLevels::LogOnly);
}

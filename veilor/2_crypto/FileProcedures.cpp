#include "2_crypto/FileProcedures.h"

#include <memory>
#include <optional>

#include <cryptopp/files.h>
#include <cryptopp/filters.h>
#include <wx/filefn.h>

#include "1_base/AtomicFileWriter.h"
#include "1_base/LogLevels.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/Ciphers.h"
#include "2_crypto/FileStreaming.h"
#include "2_crypto/FileTrailer.h"
#include "2_crypto/SourceFile.h"

namespace {
enum class Direction { Encrypt, Decrypt };

// Unwinds a file abandoned at the user's request; the writer left behind
// removes the partial output like on any failure.
struct StopRequested {};

wxString Extension(FileAlgorithm algorithm) {
  return Msg(algorithm == FileAlgorithm::Aes ? msg::ExtAes : msg::ExtDes3);
}

// Logs the outcome (its description, or "Done", then the path) and returns it.
FileOutcome Finish(const FileContext& context, const wxString& path, int statusId,
                   const wxString& description, int severity, int mode) {
  FileOutcome outcome{Msg(statusId), description};
  const wxString what = statusId == msg::StatusDone ? outcome.status : description;
  if (context.log) context.log(what + Msg(msg::Space) + path, severity, mode);
  return outcome;
}

FileOutcome Incomplete(const FileContext& context, const wxString& path,
                       const wxString& description) {
  return Finish(context, path, msg::StatusIncomplete, description, LogLevels::Error,
                LogLevels::LogOnly);
}

std::unique_ptr<CryptoPP::SymmetricCipher> MakeCipher(FileAlgorithm algorithm, Direction direction,
                                                      const wxString& keyText) {
  if (algorithm == FileAlgorithm::Aes) return MakeAesCipher(keyText);
  return direction == Direction::Encrypt ? MakeDes3Encryptor(keyText) : MakeDes3Decryptor(keyText);
}

// Streams the source, less its last `tail` bytes, through the cipher into a
// temporary file that becomes `output` when complete, with the source's
// permissions and modification time; for Triple-DES the padding is added, or
// checked and removed, at the end. `beforeCommit` may append to the output.
// False when overwriting is off and the output appeared meanwhile.
bool Transform(SourceFile& source, std::uint64_t tail, const wxString& output,
               FileAlgorithm algorithm, Direction direction, const FileContext& context,
               const std::function<void(AtomicFileWriter&)>& beforeCommit) {
  if (source.Length() < tail) throw CryptoPP::FileStore::ReadErr();
  AtomicFileWriter writer(output);
  if (!writer.Open()) throw CryptoPP::FileSink::OpenErr(NarrowPath(output));
  auto cipher = MakeCipher(algorithm, direction, context.keyText);
  const std::uint64_t dataLength = source.Length() - tail;
  const auto progress = [&](int step) {
    if (context.progress) context.progress(step);
    if (context.stopRequested && context.stopRequested()) throw StopRequested();
  };
  if (algorithm == FileAlgorithm::Aes) {
    // Counter mode has no blocks or padding to keep: each chunk is
    // enciphered in place and written as it is, the fastest way through.
    StreamInSteps(
        source, dataLength,
        [&](CryptoPP::byte* data, std::size_t size) {
          cipher->ProcessData(data, data, size);
          if (!writer.Write(data, size)) throw CryptoPP::FileSink::WriteErr();
        },
        progress);
  } else {
    CryptoPP::StreamTransformationFilter chain(*cipher, new WriterSink(writer));
    StreamInSteps(
        source, dataLength, [&](CryptoPP::byte* data, std::size_t size) { chain.Put(data, size); },
        progress);
    chain.MessageEnd();
  }
  beforeCommit(writer);
  writer.SetAttributes(source.Attributes());
  writer.SetReplaceExisting(context.overwriteExisting());
  // Once the source is to go, the output must be on disk before it does.
  if (writer.Commit(context.removeSource())) return true;
  if (writer.TargetExisted()) return false;
  throw CryptoPP::FileSink::WriteErr();
}

FileOutcome Stopped(const FileContext& context, const wxString& path) {
  return Finish(context, path, msg::StatusIncomplete, Msg(msg::StoppedInWork), LogLevels::Warning,
                LogLevels::LogOnly);
}

FileOutcome Skipped(const FileContext& context, const wxString& path, int descriptionId) {
  return Finish(context, path, msg::StatusSkipped, Msg(descriptionId), LogLevels::Warning,
                LogLevels::LogOnly);
}

// The source, opened; an outcome instead when it is no regular file or
// cannot be opened.
std::optional<FileOutcome> OpenSource(SourceFile& source, const wxString& path,
                                      const FileContext& context, int errorId) {
  switch (source.Open(path)) {
    case SourceFile::OpenResult::Opened: return std::nullopt;
    case SourceFile::OpenResult::NotRegular: return Skipped(context, path, msg::NotRegularFile);
    case SourceFile::OpenResult::Failed: break;
  }
  return Incomplete(context, path,
                    Msg(errorId) + Msg(msg::Colon) + Msg(msg::Space) +
                        ErrorDescription(CryptoPP::FileStore::OpenErr(NarrowPath(path))));
}

// Removes the source once its output is complete, when the user asked for
// it, and only if it is still the file that was read: a source that grew,
// changed or was replaced meanwhile is kept, and so is the output.
FileOutcome RemoveSourceAndFinish(const FileContext& context, SourceFile& source,
                                  const wxString& path) {
  SourceFile::RemoveResult result = SourceFile::RemoveResult::Removed;
  if (context.removeSource()) {
    result = source.RemoveIfUnchanged();
  } else if (!source.Unchanged()) {
    result = SourceFile::RemoveResult::Changed;
  }
  switch (result) {
    case SourceFile::RemoveResult::Removed: break;
    case SourceFile::RemoveResult::Changed:
      return Incomplete(context, path, Msg(msg::SourceChanged));
    case SourceFile::RemoveResult::Failed:
      return Incomplete(context, path, Msg(msg::ErrorRemoveSource));
  }
  return Finish(context, path, msg::StatusDone, wxEmptyString, LogLevels::Information,
                LogLevels::LogOnly);
}

FileOutcome Encrypt(const wxString& path, const FileContext& context, FileAlgorithm algorithm) {
  const wxString output = path + Extension(algorithm);
  const bool aes = algorithm == FileAlgorithm::Aes;
  if (aes && path.EndsWith(Extension(algorithm))) {
    return Skipped(context, path, msg::SecondEncryption);
  }
  SourceFile source;
  if (auto refused = OpenSource(source, path, context, msg::EncryptionError)) return *refused;
  // Counter mode undoes itself: a file of ours under another name would come
  // out as its plain text.
  if (aes && IsTrailer(context.keyText, source.Tail(kTrailerSize), algorithm)) {
    return Skipped(context, path, msg::SecondEncryption);
  }
  if (wxFileExists(output) && !context.overwriteExisting()) {
    return Skipped(context, path, msg::OutputExists);
  }

  try {
    const ByteString trailer = MakeTrailer(context.keyText, algorithm);
    const bool written = Transform(source, 0, output, algorithm, Direction::Encrypt, context,
                                   [&](AtomicFileWriter& writer) {
                                     if (!writer.Write(trailer.data(), trailer.size())) {
                                       throw CryptoPP::FileSink::WriteErr();
                                     }
                                   });
    if (!written) return Skipped(context, path, msg::OutputExists);
  } catch (const StopRequested&) {
    return Stopped(context, path);
  } catch (const CryptoPP::Exception& error) {
    return Incomplete(
        context, path,
        Msg(msg::EncryptionError) + Msg(msg::Colon) + Msg(msg::Space) + ErrorDescription(error));
  }
  return RemoveSourceAndFinish(context, source, path);
}

FileOutcome Decrypt(const wxString& path, const FileContext& context, FileAlgorithm algorithm) {
  const wxString extension = Extension(algorithm);
  if (!path.EndsWith(extension)) {
    return Finish(context, path, msg::StatusSkipped, Msg(msg::NoSpecificExtension),
                  LogLevels::Information, LogLevels::LogAndBox);
  }
  const wxString output = path.Left(path.length() - extension.length());
  SourceFile source;
  if (auto refused = OpenSource(source, path, context, msg::DecryptionError)) return *refused;
  if (wxFileExists(output) && !context.overwriteExisting()) {
    return Skipped(context, path, msg::OutputExists);
  }
  if (!IsTrailer(context.keyText, source.Tail(kTrailerSize), algorithm)) {
    return Incomplete(context, path, Msg(msg::WrongPasswordOrAlgorithm));
  }

  try {
    if (!Transform(source, kTrailerSize, output, algorithm, Direction::Decrypt, context,
                   [](AtomicFileWriter&) {})) {
      return Skipped(context, path, msg::OutputExists);
    }
  } catch (const StopRequested&) {
    return Stopped(context, path);
  } catch (const CryptoPP::Exception& error) {
    return Incomplete(
        context, path,
        Msg(msg::DecryptionError) + Msg(msg::Colon) + Msg(msg::Space) + ErrorDescription(error));
  }
  return RemoveSourceAndFinish(context, source, path);
}
}  // namespace

FileOutcome EncryptFileAes(const wxString& path, const FileContext& context) {
  return Encrypt(path, context, FileAlgorithm::Aes);
}

FileOutcome DecryptFileAes(const wxString& path, const FileContext& context) {
  return Decrypt(path, context, FileAlgorithm::Aes);
}

FileOutcome EncryptFileDes3(const wxString& path, const FileContext& context) {
  return Encrypt(path, context, FileAlgorithm::Des3);
}

FileOutcome DecryptFileDes3(const wxString& path, const FileContext& context) {
  return Decrypt(path, context, FileAlgorithm::Des3);
}

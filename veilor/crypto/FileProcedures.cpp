#include "crypto/FileProcedures.h"

#include <memory>

#include <cryptopp/files.h>
#include <cryptopp/filters.h>
#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/log.h>

#include "core/AtomicFileWriter.h"
#include "core/Logger.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"
#include "crypto/Ciphers.h"
#include "crypto/FileStreaming.h"
#include "crypto/FileTrailer.h"
#include "ui/ReportProgressEvent.h"

namespace {
enum class Direction { Encrypt, Decrypt };

wxString Extension(FileAlgorithm algorithm) {
  return Msg(algorithm == FileAlgorithm::Aes ? msg::ExtAes : msg::ExtDes3);
}

// Logs the outcome (its description, or "Done", then the path) and returns it.
FileOutcome Finish(const FileContext& context, const wxString& path, int statusId,
                   const wxString& description, int severity, int mode) {
  FileOutcome outcome{Msg(statusId), description};
  const wxString what = statusId == msg::StatusDone ? outcome.status : description;
  if (context.logger) context.logger->Log(what + Msg(msg::Space) + path, severity, mode);
  return outcome;
}

FileOutcome Incomplete(const FileContext& context, const wxString& path,
                       const wxString& description) {
  return Finish(context, path, msg::StatusIncomplete, description, CLogger::Error,
                CLogger::LogOnly);
}

std::unique_ptr<CryptoPP::SymmetricCipher> MakeCipher(FileAlgorithm algorithm, Direction direction,
                                                      const wxString& keyText) {
  if (algorithm == FileAlgorithm::Aes) return MakeAesCipher(keyText);
  return direction == Direction::Encrypt ? MakeDes3Encryptor(keyText) : MakeDes3Decryptor(keyText);
}

// Streams the source, less its last `tail` bytes, through the cipher into a
// temporary file that becomes `output` when complete; for Triple-DES the
// padding is added, or checked and removed, at the end. `beforeCommit` may
// append to the output.
void Transform(const wxString& path, std::uint64_t tail, const wxString& output,
               FileAlgorithm algorithm, Direction direction, const FileContext& context,
               const std::function<void(AtomicFileWriter&)>& beforeCommit) {
  wxFile source;
  {
    wxLogNull quiet;  // the failure becomes the file's report row
    if (!source.Open(path, wxFile::read)) throw CryptoPP::FileStore::OpenErr(NarrowPath(path));
  }
  const wxFileOffset length = source.Length();
  if (length < 0 || static_cast<std::uint64_t>(length) < tail) {
    throw CryptoPP::FileStore::ReadErr();
  }

  AtomicFileWriter writer(output);
  if (!writer.Open()) throw CryptoPP::FileSink::OpenErr(NarrowPath(output));
  auto cipher = MakeCipher(algorithm, direction, context.keyText);
  const std::uint64_t dataLength = static_cast<std::uint64_t>(length) - tail;
  const auto progress = [&](int step) { SendReportProgress(context.progress, step); };
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
  // Once the source is to go, the output must be on disk before it does.
  if (!writer.Commit(context.removeSource())) throw CryptoPP::FileSink::WriteErr();
}

// Removes the source once its output is complete, when the user asked for it.
FileOutcome RemoveSourceAndFinish(const FileContext& context, const wxString& path) {
  if (context.removeSource()) {
    wxLogNull quiet;
    if (!wxRemoveFile(path)) return Incomplete(context, path, Msg(msg::ErrorRemoveSource));
  }
  return Finish(context, path, msg::StatusDone, wxEmptyString, CLogger::Information,
                CLogger::LogOnly);
}

FileOutcome Encrypt(const wxString& path, const FileContext& context, FileAlgorithm algorithm) {
  const wxString output = path + Extension(algorithm);
  if (algorithm == FileAlgorithm::Aes && path.EndsWith(Extension(algorithm))) {
    return Finish(context, path, msg::StatusSkipped, Msg(msg::SecondEncryption), CLogger::Warning,
                  CLogger::LogOnly);
  }
  if (wxFileExists(output) && !context.overwriteExisting()) {
    return Finish(context, path, msg::StatusSkipped, Msg(msg::OutputExists), CLogger::Warning,
                  CLogger::LogOnly);
  }

  try {
    const ByteString trailer = MakeTrailer(context.keyText, algorithm);
    Transform(path, 0, output, algorithm, Direction::Encrypt, context,
              [&](AtomicFileWriter& writer) {
                if (!writer.Write(trailer.data(), trailer.size())) {
                  throw CryptoPP::FileSink::WriteErr();
                }
              });
  } catch (const CryptoPP::Exception& error) {
    return Incomplete(
        context, path,
        Msg(msg::EncryptionError) + Msg(msg::Colon) + Msg(msg::Space) + wxString(error.what()));
  }
  return RemoveSourceAndFinish(context, path);
}

FileOutcome Decrypt(const wxString& path, const FileContext& context, FileAlgorithm algorithm) {
  const wxString extension = Extension(algorithm);
  if (!path.EndsWith(extension)) {
    return Finish(context, path, msg::StatusSkipped, Msg(msg::NoSpecificExtension),
                  CLogger::Information, CLogger::LogAndBox);
  }
  const wxString output = path.Left(path.length() - extension.length());
  if (wxFileExists(output) && !context.overwriteExisting()) {
    return Finish(context, path, msg::StatusSkipped, Msg(msg::OutputExists), CLogger::Warning,
                  CLogger::LogOnly);
  }
  if (!CheckTrailer(context.keyText, path, algorithm)) {
    return Incomplete(context, path, Msg(msg::WrongPasswordOrAlgorithm));
  }

  try {
    Transform(path, kTrailerSize, output, algorithm, Direction::Decrypt, context,
              [](AtomicFileWriter&) {});
  } catch (const CryptoPP::Exception& error) {
    return Incomplete(
        context, path,
        Msg(msg::DecryptionError) + Msg(msg::Colon) + Msg(msg::Space) + wxString(error.what()));
  }
  return RemoveSourceAndFinish(context, path);
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

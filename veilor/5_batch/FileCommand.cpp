#include "5_batch/FileCommand.h"

#include <wx/filename.h>

#include "1_base/AtomicFileWriter.h"
#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/Utf8Names.h"
#include "2_crypto/PasswordKey.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "5_batch/BatchPasswordPrompt.h"
#include "5_batch/BatchReportSink.h"
#include "5_batch/FileCollector.h"
#include "5_batch/FilePipeline.h"
#include "5_batch/Logger.h"

namespace {
// Key text is 32 hex digits: 16 bytes for either cipher.
constexpr std::size_t kKeyTextLength = 32;
// The work factors a user may set for new age files: below 10 a derivation
// protects little; above 22 age itself refuses to open the file.
constexpr long kMinAgeWorkFactor = 10;
constexpr long kMaxAgeWorkFactor = 22;

wxString KeyRefusal(PasswordKeyVerdict verdict) {
  return Msg(verdict == PasswordKeyVerdict::TooLong ? msg::PasswordTooLong
                                                    : msg::PasswordNotRepresentable);
}

// Each file's size for the report's overall progress; 0 where none is known.
std::vector<std::uint64_t> FileSizes(const std::vector<CollectedPath>& files) {
  std::vector<std::uint64_t> sizes;
  sizes.reserve(files.size());
  for (const CollectedPath& file : files) {
    const wxULongLong size = file.valid ? wxFileName::GetSize(file.path) : wxInvalidSize;
    sizes.push_back(size == wxInvalidSize ? 0 : size.GetValue());
  }
  return sizes;
}

// The sink hears of the end of a batch on every way out of it.
struct BatchEnder {
  CBatchReportSink& report;
  ~BatchEnder() { report.End(); }
};
}  // namespace

CFileCommand::CFileCommand(const wxArrayString& pathArguments, CSettings& settings, CLogger& logger,
                           CPasswordManager& passwords, CBatchPasswordPrompt& prompt,
                           CBatchReportSink& report)
    : pathArguments_(pathArguments),
      logger_(logger),
      passwords_(passwords),
      prompt_(prompt),
      report_(report),
      switches_(settings) {}

void CFileCommand::EncryptAes() {
  RunBatch(kKeyTextLength, Direction::Encrypt, Msg(msg::PromptAesEncryption),
           Msg(msg::WrongAesKeyLength), FileOperation::EncryptAes, Msg(msg::EncryptionReport));
}

void CFileCommand::DecryptAes() {
  RunBatch(kKeyTextLength, Direction::Decrypt, Msg(msg::PromptAesDecryption),
           Msg(msg::WrongAesKeyLength), FileOperation::DecryptAes, Msg(msg::DecryptionReport));
}

void CFileCommand::EncryptDes3() {
  RunBatch(kKeyTextLength, Direction::Encrypt, Msg(msg::PromptDes3Encryption),
           Msg(msg::WrongDes3KeyLength), FileOperation::EncryptDes3, Msg(msg::EncryptionReport));
}

void CFileCommand::DecryptDes3() {
  RunBatch(kKeyTextLength, Direction::Decrypt, Msg(msg::PromptDes3Decryption),
           Msg(msg::WrongDes3KeyLength), FileOperation::DecryptDes3, Msg(msg::DecryptionReport));
}

void CFileCommand::EncryptAge() {
  RunBatch(0, Direction::Encrypt, Msg(msg::PromptAgeEncryption), wxString(),
           FileOperation::EncryptAge, Msg(msg::EncryptionReport));
}

void CFileCommand::DecryptAge() {
  RunBatch(0, Direction::Decrypt, Msg(msg::PromptAgeDecryption), wxString(),
           FileOperation::DecryptAge, Msg(msg::DecryptionReport));
}

// The switches are read as each file is taken up, on the batch's thread; the
// job may be written on a worker.
std::unique_ptr<FileJob> CFileCommand::MakeJob(FileOperation operation, Direction direction,
                                               const wxString& path, FileContext context) {
  CBoolSetting& remove =
      direction == Direction::Encrypt ? switches_.removeAfterEnc : switches_.removeAfterDec;
  context.keyText = keyText_;
  context.passphrase = passphrase_;
  context.ageWorkFactor = ageWorkFactor_;
  context.placedOutputs = placedOutputs_;
  context.overwriteExisting = [overwrite = switches_.overwrite.Get()] { return overwrite; };
  context.removeSource = [removeSource = remove.Get()] { return removeSource; };
  return std::make_unique<FileJob>(operation, path, std::move(context));
}

void CFileCommand::ReportNotProcessed(const std::vector<CollectedPath>& files, std::size_t from) {
  for (std::size_t i = from; i < files.size(); ++i) {
    const long row = report_.AddRow(EscapedName(files[i].path));
    report_.SetResult(row, Msg(msg::StatusStopped), Msg(msg::NotProcessedStopped));
  }
}

CFileCommand::KeyResult CFileCommand::ObtainKey(Direction direction, const wxString& prompt,
                                                std::size_t maxChars) {
  const bool encrypt = direction == Direction::Encrypt;
  // The empty password's key is known to everyone: files encrypted with it
  // are as good as plain, and their sources would go. Decryption may still
  // try it, for files made that way.
  const wxString emptyKey = KeyFromPassword(wxString(), maxChars).keyText;
  if ((encrypt ? switches_.useDefEncPass : switches_.useDefDecPass).Get()) {
    const PasswordKey stored =
        passwords_.ResolveDefaultKey(encrypt ? PasswordUse::Encryption : PasswordUse::Decryption);
    const bool refused = encrypt && stored.keyText == emptyKey;
    if (!stored.keyText.empty() && !refused) return {stored.keyText, KeyObtained};
    // A stored default that cannot be a key is pointed out; the user is asked.
    if (refused) prompt_.Warn(Msg(msg::EnteredPasswordEmpty));
    if (stored.verdict != PasswordKeyVerdict::Made) prompt_.Warn(KeyRefusal(stored.verdict));
  }
  const bool offerStored = (encrypt ? switches_.chooseEncPass : switches_.chooseDecPass).Get();
  // A typo in an encryption password would leave files nobody can open once
  // the sources are removed, so it is typed twice; decryption shows a typo.
  const std::optional<wxString> password =
      prompt_.AskPassword(prompt, offerStored, /*askTwice=*/encrypt);
  if (!password) return {wxString(), KeyCancelled};
  if (encrypt && password->empty()) {
    prompt_.Warn(Msg(msg::EnteredPasswordEmpty));
    return {wxString(), KeyCancelled};
  }
  const PasswordKey key = KeyFromPassword(*password, maxChars);
  if (key.verdict == PasswordKeyVerdict::NotRepresentable) {
    throw CFSVeilorException(Msg(msg::PasswordNotRepresentable));
  }
  if (key.verdict == PasswordKeyVerdict::TooLong) prompt_.Warn(KeyRefusal(key.verdict));
  return {key.keyText, KeyObtained};
}

std::optional<std::string> CFileCommand::ObtainPassphrase(Direction direction,
                                                          const wxString& prompt) {
  const bool encrypt = direction == Direction::Encrypt;
  std::optional<wxString> password;
  if ((encrypt ? switches_.useDefEncPass : switches_.useDefDecPass).Get()) {
    password = passwords_.ResolveDefaultPassword(encrypt ? PasswordUse::Encryption
                                                         : PasswordUse::Decryption);
  }
  if (!password) {
    const bool offerStored = (encrypt ? switches_.chooseEncPass : switches_.chooseDecPass).Get();
    password = prompt_.AskPassword(prompt, offerStored, /*askTwice=*/encrypt);
    if (!password) return std::nullopt;
  }
  if (encrypt && password->empty()) throw CFSVeilorException(Msg(msg::AgeEmptyPassphrase));
  if (password->length() > kMaxProtectedChars) {
    throw CFSVeilorException(Msg(msg::AgePassphraseTooLong));
  }
  // Its UTF-8 bytes, as age takes a password on every system.
  const wxScopedCharBuffer bytes = password->utf8_str();
  return std::string(bytes.data(), bytes.length());
}

int CFileCommand::AgeWorkFactor() {
  long value = 0;
  if (!switches_.ageWorkFactor.Get().ToLong(&value) || value < kMinAgeWorkFactor ||
      value > kMaxAgeWorkFactor) {
    throw CFSVeilorException(Msg(msg::AgeWorkFactorSetting));
  }
  return static_cast<int>(value);
}

bool CFileCommand::ObtainSecret(std::size_t expectedLength, Direction direction,
                                const wxString& prompt, const wxString& keyLengthMessage,
                                FileOperation operation) {
  if (IsAgeOperation(operation)) {
    // A setting out of range is refused before the user types anything.
    ageWorkFactor_ = direction == Direction::Encrypt ? AgeWorkFactor() : 0;
    std::optional<std::string> passphrase = ObtainPassphrase(direction, prompt);
    if (!passphrase) return false;
    passphrase_ = std::move(*passphrase);
    return true;
  }
  const KeyResult key = ObtainKey(direction, prompt, expectedLength / 2);
  if (key.status != KeyObtained) return false;
  keyText_ = key.keyText;
  if (keyText_.length() != expectedLength) throw CFSVeilorException(keyLengthMessage);
  return true;
}

void CFileCommand::RunBatch(std::size_t expectedLength, Direction direction, const wxString& prompt,
                            const wxString& keyLengthMessage, FileOperation operation,
                            const wxString& reportTitle) {
  report_.Begin(reportTitle);
  const BatchEnder ender{report_};
  succeeded_ = false;

  if (!ObtainSecret(expectedLength, direction, prompt, keyLengthMessage, operation)) return;

  placedOutputs_ = std::make_shared<PlacedFiles>();
  const std::vector<CollectedPath> files = CollectArguments(pathArguments_);
  report_.SetFileSizes(FileSizes(files));
  if (!switches_.hideReport.Get()) report_.ShowBusy();
  bool allSucceeded = true;
  std::vector<bool> valid;
  for (const CollectedPath& file : files) valid.push_back(file.valid);
  CFilePipeline pipeline(
      valid, [this] { return report_.StopRequested(); },
      [&](std::size_t index, FileContext context) {
        return MakeJob(operation, direction, files[index].path, std::move(context));
      },
      [&](const CFilePipeline::Result& result) {
        for (const CFilePipeline::LogLine& line : result.logged) {
          logger_.Log(line.text, line.severity, line.mode);
        }
        report_.SetResult(result.row, result.outcome.status, result.outcome.description);
        allSucceeded = allSucceeded && (result.outcome.status == Msg(msg::StatusDone) ||
                                        result.outcome.status == Msg(msg::StatusSkipped));
      });
  const std::function<void(int)> progress = [this](int step) { report_.Progress(step); };
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (report_.StopRequested()) {
      // What was reached is reported first; the files ahead that were
      // already written are dropped with the pipeline, sources kept.
      pipeline.Settle(/*now=*/true);
      ReportNotProcessed(files, i);
      allSucceeded = false;
      break;
    }
    // Names are shown escaped: a line break or a byte that is not text must
    // neither forge log lines nor reach the window's drawing.
    const long row = report_.AddRow(EscapedName(files[i].path));
    CFilePipeline::Result invalid;
    if (!files[i].valid) {
      invalid.outcome.status = Msg(msg::InvalidFileOrFolder);
      const wxString where =
          files[i].path.empty() ? wxString() : Msg(msg::Space) + EscapedName(files[i].path);
      invalid.logged.push_back({invalid.outcome.status + where, CLogger::Error, CLogger::LogOnly});
    }
    pipeline.Reach(i, row, progress, invalid, [this, row](bool deriving) {
      report_.Note(row, deriving ? Msg(msg::AgeDerivingKey) : wxString());
    });
    pipeline.Settle();
  }
  pipeline.Settle(/*now=*/true);
  succeeded_ = allSucceeded;
  // A hidden report still appears when a file failed: otherwise, with
  // logging off, the failure would be reported nowhere.
  if (!switches_.hideReport.Get() || !allSucceeded) report_.Finish();
}

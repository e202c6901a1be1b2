#include "5_batch/FileCommand.h"

#include <wx/filename.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/PasswordKey.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "5_batch/BatchPasswordPrompt.h"
#include "5_batch/BatchReportSink.h"
#include "5_batch/FileCollector.h"
#include "5_batch/Logger.h"

namespace {
// Key text is 32 hex digits: 16 bytes for either cipher.
constexpr std::size_t kKeyTextLength = 32;

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

CFileCommand::CFileCommand(const wxString& pathList, CSettings& settings, CLogger& logger,
                           CPasswordManager& passwords, CBatchPasswordPrompt& prompt,
                           CBatchReportSink& report)
    : pathList_(pathList),
      logger_(logger),
      passwords_(passwords),
      prompt_(prompt),
      report_(report),
      switches_(settings) {}

void CFileCommand::EncryptAes() {
  RunBatch(kKeyTextLength, Direction::Encrypt, Msg(msg::PromptAesEncryption),
           Msg(msg::WrongAesKeyLength), ::EncryptFileAes, Msg(msg::EncryptionReport));
}

void CFileCommand::DecryptAes() {
  RunBatch(kKeyTextLength, Direction::Decrypt, Msg(msg::PromptAesDecryption),
           Msg(msg::WrongAesKeyLength), ::DecryptFileAes, Msg(msg::DecryptionReport));
}

void CFileCommand::EncryptDes3() {
  RunBatch(kKeyTextLength, Direction::Encrypt, Msg(msg::PromptDes3Encryption),
           Msg(msg::WrongDes3KeyLength), ::EncryptFileDes3, Msg(msg::EncryptionReport));
}

void CFileCommand::DecryptDes3() {
  RunBatch(kKeyTextLength, Direction::Decrypt, Msg(msg::PromptDes3Decryption),
           Msg(msg::WrongDes3KeyLength), ::DecryptFileDes3, Msg(msg::DecryptionReport));
}

FileOutcome CFileCommand::RunProcedure(Procedure procedure, Direction direction,
                                       const wxString& path) {
  CBoolSetting& remove =
      direction == Direction::Encrypt ? switches_.removeAfterEnc : switches_.removeAfterDec;
  FileContext context;
  context.keyText = keyText_;
  context.overwriteExisting = [this] { return switches_.overwrite.Get(); };
  context.removeSource = [&remove] { return remove.Get(); };
  context.log = [this](const wxString& text, int severity, int mode) {
    logger_.Log(text, severity, mode);
  };
  context.progress = [this](int step) { report_.Progress(step); };
  context.stopRequested = [this] { return report_.StopRequested(); };
  return procedure(path, context);
}

void CFileCommand::ReportNotProcessed(const std::vector<CollectedPath>& files, std::size_t from) {
  for (std::size_t i = from; i < files.size(); ++i) {
    const long row = report_.AddRow(files[i].path);
    report_.SetResult(row, Msg(msg::StatusStopped), Msg(msg::NotProcessedStopped));
  }
}

CFileCommand::KeyResult CFileCommand::ObtainKey(Direction direction, const wxString& prompt,
                                                std::size_t maxChars) {
  const bool encrypt = direction == Direction::Encrypt;
  if ((encrypt ? switches_.useDefEncPass : switches_.useDefDecPass).Get()) {
    const PasswordKey stored =
        passwords_.ResolveDefaultKey(encrypt ? PasswordUse::Encryption : PasswordUse::Decryption);
    if (!stored.keyText.empty()) return {stored.keyText, KeyObtained};
    // A stored default that cannot be a key is pointed out; the user is asked.
    if (stored.verdict != PasswordKeyVerdict::Made) prompt_.Warn(KeyRefusal(stored.verdict));
  }
  const bool offerStored = (encrypt ? switches_.chooseEncPass : switches_.chooseDecPass).Get();
  // A typo in an encryption password would leave files nobody can open once
  // the sources are removed, so it is typed twice; decryption shows a typo.
  const std::optional<wxString> password =
      prompt_.AskPassword(prompt, offerStored, /*askTwice=*/encrypt);
  if (!password) return {wxString(), KeyCancelled};
  const PasswordKey key = KeyFromPassword(*password, maxChars);
  if (key.verdict == PasswordKeyVerdict::NotRepresentable) {
    throw CFSVeilorException(Msg(msg::PasswordNotRepresentable));
  }
  if (key.verdict == PasswordKeyVerdict::TooLong) prompt_.Warn(KeyRefusal(key.verdict));
  return {key.keyText, KeyObtained};
}

void CFileCommand::RunBatch(std::size_t expectedLength, Direction direction, const wxString& prompt,
                            const wxString& keyLengthMessage, Procedure procedure,
                            const wxString& reportTitle) {
  report_.Begin(reportTitle);
  const BatchEnder ender{report_};
  succeeded_ = false;

  const KeyResult key = ObtainKey(direction, prompt, expectedLength / 2);
  if (key.status != KeyObtained) return;
  keyText_ = key.keyText;
  if (keyText_.length() != expectedLength) throw CFSVeilorException(keyLengthMessage);

  const std::vector<CollectedPath> files = CollectFiles(pathList_);
  report_.SetFileSizes(FileSizes(files));
  if (!switches_.hideReport.Get()) report_.ShowBusy();
  bool allSucceeded = true;
  for (std::size_t next = 0; next < files.size(); ++next) {
    if (report_.StopRequested()) {
      ReportNotProcessed(files, next);
      allSucceeded = false;
      break;
    }
    const CollectedPath& file = files[next];
    FileOutcome outcome;
    const long row = report_.AddRow(file.path);
    if (!file.valid) {
      outcome.status = Msg(msg::InvalidFileOrFolder);
      const wxString where = file.path.empty() ? wxString() : Msg(msg::Space) + file.path;
      logger_.Log(outcome.status + where, CLogger::Error, CLogger::LogOnly);
    } else {
      outcome = RunProcedure(procedure, direction, file.path);
    }
    report_.SetResult(row, outcome.status, outcome.description);
    allSucceeded = allSucceeded && (outcome.status == Msg(msg::StatusDone) ||
                                    outcome.status == Msg(msg::StatusSkipped));
  }
  succeeded_ = allSucceeded;
  // A hidden report still appears when a file failed: otherwise, with
  // logging off, the failure would be reported nowhere.
  if (!switches_.hideReport.Get() || !allSucceeded) report_.Finish();
}

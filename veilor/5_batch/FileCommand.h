#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

#include "2_crypto/FileJob.h"
#include "3_settings/FileSwitches.h"

class CBatchPasswordPrompt;
class PlacedFiles;
class CBatchReportSink;
class CLogger;
class CPasswordManager;
class CSettings;
struct CollectedPath;

// One cipher verb: obtains the key once, expands the path arguments into
// files (CollectArguments), runs the verb's procedure on each and reports
// every file. It asks and reports only through the prompt and the sink it is
// given.
class CFileCommand {
public:
  enum class Direction { Encrypt, Decrypt };
  enum KeyStatus : int { KeyObtained = 1, KeyCancelled = 2 };

  struct KeyResult {
    wxString keyText;
    int status = KeyCancelled;
  };

  CFileCommand(const wxArrayString& pathArguments, CSettings& settings, CLogger& logger,
               CPasswordManager& passwords, CBatchPasswordPrompt& prompt, CBatchReportSink& report);

  void EncryptAes();
  void DecryptAes();
  void EncryptDes3();
  void DecryptDes3();
  void EncryptAge();
  void DecryptAge();

  // The default password when one is set and stored, else the user's answer,
  // typed twice for encryption. An empty password is refused for encryption
  // (a stored one with a warning and the user asked, a typed one with a
  // warning and the batch cancelled). A password that cannot be a key is pointed
  // out: a too long one gives empty key text (the batch's key-length error
  // follows), one with a character the key cannot hold raises
  // CFSVeilorException with its own message.
  KeyResult ObtainKey(Direction direction, const wxString& prompt, std::size_t maxChars);

  // The password of an age batch as its UTF-8 bytes: the default password
  // when one is set and stored, else the user's answer, typed twice for
  // encryption; nothing when the user cancelled. Any text the stored list
  // can hold is a password, but an empty one never encrypts: it raises
  // CFSVeilorException, as does one longer than the stored list holds.
  std::optional<std::string> ObtainPassphrase(Direction direction, const wxString& prompt);

  // Whether the last batch did what was asked: a key was obtained and every
  // file ended "Done" or "Skipped".
  bool Succeeded() const { return succeeded_; }

private:
  void RunBatch(std::size_t expectedLength, Direction direction, const wxString& prompt,
                const wxString& keyLengthMessage, FileOperation operation,
                const wxString& reportTitle);
  // Obtains the batch's key (or age password); false when the user cancelled.
  bool ObtainSecret(std::size_t expectedLength, Direction direction, const wxString& prompt,
                    const wxString& keyLengthMessage, FileOperation operation);
  // The work factor of new age files from the settings; raises
  // CFSVeilorException for one outside what age files allow.
  int AgeWorkFactor();
  std::unique_ptr<FileJob> MakeJob(FileOperation operation, Direction direction,
                                   const wxString& path, FileContext context);
  // After a stop: a row for each file from `from` on, saying it was not
  // processed.
  void ReportNotProcessed(const std::vector<CollectedPath>& files, std::size_t from);

  wxArrayString pathArguments_;
  wxString keyText_;
  std::string passphrase_;
  int ageWorkFactor_ = 0;
  // The outputs the running batch placed: none of them is replaced by another.
  std::shared_ptr<PlacedFiles> placedOutputs_;
  bool succeeded_ = false;
  CLogger& logger_;
  CPasswordManager& passwords_;
  CBatchPasswordPrompt& prompt_;
  CBatchReportSink& report_;
  CFileSwitches switches_;
};

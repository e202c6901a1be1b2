#pragma once

#include <functional>
#include <optional>

#include <wx/arrstr.h>
#include <wx/string.h>

#include "crypto/FileProcedures.h"
#include "settings/SettingReference.h"

class CLogger;
class CPasswordManager;
class CReportDlg;
class CSettings;

// One cipher verb: obtains the key once, expands the path argument into
// files, runs the verb's procedure on each and shows the report.
class CFileCommand {
public:
  enum class Direction { Encrypt, Decrypt };
  enum KeyStatus : int { KeyObtained = 1, KeyCancelled = 2 };

  struct KeyResult {
    wxString keyText;
    int status = KeyCancelled;
  };

  // Asks the user for a password: prompt, whether the browse button is
  // offered and whether a typed password must be typed twice; nothing when
  // cancelled.
  using PasswordPrompt = std::function<std::optional<wxString>(const wxString& prompt,
                                                               bool offerStored, bool askTwice)>;

  CFileCommand(const wxString& pathList, CSettings& settings, CLogger& logger,
               CPasswordManager& passwords);

  void EncryptAes();
  void DecryptAes();
  void EncryptDes3();
  void DecryptDes3();

  // The single-file procedures, filling the report row's texts.
  void EncryptFileAes(const wxString& path, wxString& description, wxString& status,
                      CReportDlg* report);
  void DecryptFileAes(const wxString& path, wxString& description, wxString& status,
                      CReportDlg* report);
  void EncryptFileDes3(const wxString& path, wxString& description, wxString& status,
                       CReportDlg* report);
  void DecryptFileDes3(const wxString& path, wxString& description, wxString& status,
                       CReportDlg* report);

  // The default password when one is set and stored, else the user's answer,
  // typed twice for encryption. A password that cannot be a key is pointed
  // out: a too long one gives empty key text (the batch's key-length error
  // follows), one with a character the key cannot hold raises
  // CFSVeilorException with its own message.
  KeyResult ObtainKey(Direction direction, const wxString& prompt, std::size_t maxChars);

  // Whether the last batch did what was asked: a key was obtained and every
  // file ended "Done" or "Skipped".
  bool Succeeded() const { return succeeded_; }

  // Replaces the password window, for tests.
  void SetPasswordPrompt(PasswordPrompt prompt) { prompt_ = std::move(prompt); }

private:
  using Procedure = FileOutcome (*)(const wxString&, const FileContext&);

  void RunBatch(std::size_t expectedLength, Direction direction, const wxString& prompt,
                const wxString& keyLengthMessage, Procedure procedure, const wxString& reportTitle);
  void RunProcedure(Procedure procedure, Direction direction, const wxString& path,
                    wxString& description, wxString& status, CReportDlg* report);

  wxString pathList_;
  wxString keyText_;
  bool succeeded_ = false;
  CBoolSetting useDefEncPass_;
  CBoolSetting useDefDecPass_;
  CStringSetting defEncPass_;
  CStringSetting defDecPass_;
  CBoolSetting removeAfterEnc_;
  CBoolSetting removeAfterDec_;
  CBoolSetting overwrite_;
  CBoolSetting hideReport_;
  CBoolSetting chooseEncPass_;
  CBoolSetting chooseDecPass_;

  CLogger& logger_;
  CPasswordManager& passwords_;
  PasswordPrompt prompt_;
};

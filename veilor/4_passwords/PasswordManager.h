#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <wx/string.h>

#include "2_crypto/PasswordKey.h"
#include "4_passwords/PasswordEntry.h"

class CSettings;

// Which default password an operation may use.
enum class PasswordUse { Encryption, Decryption };

// Verdict on the administrator password fields of the settings dialog: the
// two differ (the dialog stays), the password is empty (accepted, with a
// warning), or it is accepted.
enum class NewAdminPasswordVerdict { Accepted, Different, Empty };

// The named passwords, the default passwords and the administrator check.
// Keeps nothing of its own: every call reads the settings store afresh, so
// dialogs that change the store are seen at once.
class CPasswordManager {
public:
  // Characters a password may have for either file cipher (16-byte keys).
  static constexpr std::size_t kCipherPasswordChars = 16;

  explicit CPasswordManager(CSettings& settings) : settings_(settings) {}

  // Key text of the first entry named exactly `name` (case-sensitive), or
  // empty text when none is. Reads only the password and name lists and
  // raises CPassManException when their lengths differ.
  wxString KeyForNamedPassword(const wxString& name, std::size_t maxChars) const;

  // The stored list in order. Raises CPassManagerException when the three
  // lists differ in length, CSettingsException when a value can't be read.
  std::vector<CPasswordEntry> LoadEntries() const;

  // What the password manager can show of a list that is out of step or
  // damaged, so that storing it repairs the file: the entries whose password,
  // prompt and name stand at the same position and can be read, in order,
  // and how many stored positions were left out.
  struct PairedEntries {
    std::vector<CPasswordEntry> entries;
    std::size_t leftOut = 0;
  };
  PairedEntries LoadPairedEntries() const;

  // Replaces the stored list. Every value is encoded before any list is
  // replaced, so a value too long to store (CSettingsException) leaves the
  // stored lists as they were.
  void StoreEntries(const std::vector<CPasswordEntry>& entries);

  // The key of the default password for `use`: empty key text, made, when
  // the default is off or names no stored entry, and the caller then asks the
  // user; refused when the stored password cannot be a key. Raises
  // CSettingsException when the stored name or password can't be read.
  PasswordKey ResolveDefaultKey(PasswordUse use) const;
  // The default password for `use` as text, for files whose key is derived
  // from it (age); nothing when the default is off or names no stored entry.
  std::optional<wxString> ResolveDefaultPassword(PasswordUse use) const;

  // What keeps an entry out of the stored list (a value longer than
  // ProtectString accepts, or one the code page cannot hold), first field
  // first; None when it can be stored.
  enum class EntryProblem { None, PasswordTooLong, PromptTooLong, NameTooLong, NotRepresentable };
  static EntryProblem StorageProblem(const CPasswordEntry& entry);

  // Whether `entered` is the administrator password, read afresh from the
  // store: exact and case-sensitive. Asking and warning are the caller's.
  // Raises CSettingsException when the stored one can't be read.
  bool CheckAdministrator(const wxString& entered) const;

  // Checks a new administrator password against its confirmation.
  static NewAdminPasswordVerdict ValidateNewAdministratorPassword(const wxString& password,
                                                                  const wxString& confirmation);

private:
  // The password of the first entry named exactly `name`.
  std::optional<wxString> PasswordNamed(const wxString& name) const;

  CSettings& settings_;
};

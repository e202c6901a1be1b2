#include "4_passwords/PasswordManager.h"

#include <algorithm>
#include <optional>

#include <wx/arrstr.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/PasswordKey.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"

wxString CPasswordManager::KeyForNamedPassword(const wxString& name, std::size_t maxChars) const {
  const std::optional<wxString> password = PasswordNamed(name);
  return password ? KeyFromPassword(*password, maxChars).keyText : wxString();
}

std::optional<wxString> CPasswordManager::PasswordNamed(const wxString& name) const {
  wxArrayString passwords;
  wxArrayString names;
  settings_.GetDynamicGroup(CSettings::GroupPList, passwords);
  settings_.GetDynamicGroup(CSettings::GroupPNames, names);
  if (passwords.size() != names.size()) {
    throw CPassManException(Msg(msg::PasswordListsCorrupted));
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    // A name that can't be read names nothing; the password found must be read.
    if (ReadProtectedString(names[i]) == name) return UnprotectString(passwords[i]);
  }
  return std::nullopt;
}

std::vector<CPasswordEntry> CPasswordManager::LoadEntries() const {
  const std::size_t count = settings_.DynamicGroupSize(CSettings::GroupPList);
  if (settings_.DynamicGroupSize(CSettings::GroupPPrompts) != count ||
      settings_.DynamicGroupSize(CSettings::GroupPNames) != count) {
    throw CPassManagerException(Msg(msg::PasswordListsCorrupted));
  }
  // Decoded straight from the store into place: a long list is neither
  // copied out first nor copied again (the toolkit's strings have no move).
  std::vector<CPasswordEntry> entries(count);
  const auto fill = [&](int group, wxString CPasswordEntry::*field) {
    std::size_t row = 0;
    settings_.VisitDynamicGroup(group, [&](const wxString& encoded) {
      wxString decoded = UnprotectString(encoded);
      (entries[row++].*field).swap(decoded);
    });
  };
  fill(CSettings::GroupPList, &CPasswordEntry::password);
  fill(CSettings::GroupPPrompts, &CPasswordEntry::prompt);
  fill(CSettings::GroupPNames, &CPasswordEntry::name);
  return entries;
}

CPasswordManager::PairedEntries CPasswordManager::LoadPairedEntries() const {
  const std::size_t count = settings_.DynamicGroupSize(CSettings::GroupPList);
  const std::size_t prompts = settings_.DynamicGroupSize(CSettings::GroupPPrompts);
  const std::size_t names = settings_.DynamicGroupSize(CSettings::GroupPNames);
  const std::size_t paired = std::min({count, prompts, names});
  std::vector<std::optional<wxString>> texts[3];
  const int groups[3] = {CSettings::GroupPList, CSettings::GroupPPrompts, CSettings::GroupPNames};
  for (int list = 0; list < 3; ++list) {
    texts[list].reserve(paired);
    settings_.VisitDynamicGroup(groups[list], [&](const wxString& encoded) {
      if (texts[list].size() < paired) texts[list].push_back(ReadProtectedString(encoded));
    });
  }
  PairedEntries result;
  result.entries.reserve(paired);
  for (std::size_t row = 0; row < paired; ++row) {
    if (texts[0][row] && texts[1][row] && texts[2][row]) {
      result.entries.emplace_back(*texts[0][row], *texts[1][row], *texts[2][row]);
    }
  }
  result.leftOut = std::max({count, prompts, names}) - result.entries.size();
  return result;
}

void CPasswordManager::StoreEntries(const std::vector<CPasswordEntry>& entries) {
  wxArrayString passwords;
  wxArrayString prompts;
  wxArrayString names;
  for (wxArrayString* list : {&passwords, &prompts, &names}) list->reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // The position is the filler number, so each list is independent of the others.
    const int filler = static_cast<int>(i);
    passwords.push_back(ProtectString(entries[i].password, filler));
    prompts.push_back(ProtectString(entries[i].prompt, filler));
    names.push_back(ProtectString(entries[i].name, filler));
  }
  settings_.SetDynamicGroup(CSettings::GroupPList, passwords);
  settings_.SetDynamicGroup(CSettings::GroupPPrompts, prompts);
  settings_.SetDynamicGroup(CSettings::GroupPNames, names);
}

PasswordKey CPasswordManager::ResolveDefaultKey(PasswordUse use) const {
  const std::optional<wxString> password = ResolveDefaultPassword(use);
  if (!password) return PasswordKey();
  return KeyFromPassword(*password, kCipherPasswordChars);
}

std::optional<wxString> CPasswordManager::ResolveDefaultPassword(PasswordUse use) const {
  const bool encryption = use == PasswordUse::Encryption;
  bool enabled = false;
  settings_.GetBool(CSettings::GroupSettingsDlg,
                    encryption ? CSettings::ItemUseDefEncPass : CSettings::ItemUseDefDecPass,
                    enabled);
  if (!enabled) return std::nullopt;

  wxString encodedName;
  settings_.GetString(CSettings::GroupSettingsDlg,
                      encryption ? CSettings::ItemDefEncPass : CSettings::ItemDefDecPass,
                      encodedName);
  const wxString name = UnprotectString(encodedName);
  // An empty name means no default was chosen; it must not pick an entry
  // that happens to have a damaged, empty name.
  if (name.empty()) return std::nullopt;
  return PasswordNamed(name);
}

CPasswordManager::EntryProblem CPasswordManager::StorageProblem(const CPasswordEntry& entry) {
  if (entry.password.length() > kMaxProtectedChars) return EntryProblem::PasswordTooLong;
  if (entry.prompt.length() > kMaxProtectedChars) return EntryProblem::PromptTooLong;
  if (entry.name.length() > kMaxProtectedChars) return EntryProblem::NameTooLong;
  for (const wxString* text : {&entry.password, &entry.prompt, &entry.name}) {
    if (!CanProtectString(*text)) return EntryProblem::NotRepresentable;
  }
  return EntryProblem::None;
}

bool CPasswordManager::CheckAdministrator(const wxString& entered) const {
  wxString stored;
  settings_.GetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword, stored);
  return entered == UnprotectString(stored);
}

NewAdminPasswordVerdict CPasswordManager::ValidateNewAdministratorPassword(
    const wxString& password, const wxString& confirmation) {
  if (password != confirmation) return NewAdminPasswordVerdict::Different;
  if (password.empty()) return NewAdminPasswordVerdict::Empty;
  return NewAdminPasswordVerdict::Accepted;
}

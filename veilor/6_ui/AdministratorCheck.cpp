#include "6_ui/AdministratorCheck.h"

#include <optional>

#include <wx/defs.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/AdministratorWindowPrompt.h"
#include "6_ui/MessageBox.h"

namespace {
void ShowWarning(int textId) {
  ShowMessageBox(Msg(textId), Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
}
}  // namespace

bool ConfirmAdministrator(CAdministratorPrompt& prompt, const CPasswordManager& passwords) {
  const std::optional<wxString> entered = prompt.AskPassword();
  if (!entered) return false;
  if (!passwords.CheckAdministrator(*entered)) {
    prompt.Warn(Msg(msg::AdminPasswordInvalid));
    return false;
  }
  return true;
}

bool ConfirmAdministrator(wxWindow* parent, const CPasswordManager& passwords) {
  CAdministratorWindowPrompt prompt(parent);
  return ConfirmAdministrator(prompt, passwords);
}

bool AcceptNewAdministratorPassword(const wxString& password, const wxString& confirmation) {
  switch (CPasswordManager::ValidateNewAdministratorPassword(password, confirmation)) {
    case NewAdminPasswordVerdict::Different: ShowWarning(msg::AdminPasswordsDiffer); return false;
    case NewAdminPasswordVerdict::Empty: ShowWarning(msg::ChangeDefaultAdminPassword); return true;
    case NewAdminPasswordVerdict::Accepted: break;
  }
  return true;
}

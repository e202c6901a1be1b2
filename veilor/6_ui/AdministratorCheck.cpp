#include "6_ui/AdministratorCheck.h"

#include <wx/defs.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassEnterFrm.h"

namespace {
void ShowWarning(int textId) {
  ShowMessageBox(Msg(textId), Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
}
}  // namespace

std::optional<wxString> AskAdministratorPassword(wxWindow* parent) {
  return AskPassword(parent, Msg(msg::EnterAdminPassword), /*hideBrowse=*/true);
}

bool ConfirmAdministrator(wxWindow* parent, const CPasswordManager& passwords) {
  const std::optional<wxString> entered = AskAdministratorPassword(parent);
  if (!entered) return false;
  if (!passwords.CheckAdministrator(*entered)) {
    ShowWarning(msg::AdminPasswordInvalid);
    return false;
  }
  return true;
}

bool AcceptNewAdministratorPassword(const wxString& password, const wxString& confirmation) {
  switch (CPasswordManager::ValidateNewAdministratorPassword(password, confirmation)) {
    case NewAdminPasswordVerdict::Different: ShowWarning(msg::AdminPasswordsDiffer); return false;
    case NewAdminPasswordVerdict::Empty: ShowWarning(msg::ChangeDefaultAdminPassword); return true;
    case NewAdminPasswordVerdict::Accepted: break;
  }
  return true;
}

#include "6_ui/AdministratorWindowPrompt.h"

#include <wx/defs.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassEnterFrm.h"

std::optional<wxString> CAdministratorWindowPrompt::AskPassword() {
  return ::AskPassword(parent_, Msg(msg::EnterAdminPassword), /*hideBrowse=*/true);
}

void CAdministratorWindowPrompt::Warn(const wxString& text) {
  ShowMessageBox(text, Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
}

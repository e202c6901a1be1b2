#include "6_ui/PassEnterPrompt.h"

#include <wx/defs.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassEnterFrm.h"

std::optional<wxString> CPassEnterPrompt::AskPassword(const wxString& prompt, bool offerStored,
                                                      bool askTwice) {
  return ::AskPassword(nullptr, prompt, !offerStored, askTwice, &passwords_);
}

void CPassEnterPrompt::Warn(const wxString& text) {
  ShowMessageBox(text, Msg(msg::TitleWarning), wxOK | wxCENTRE | wxICON_WARNING);
}

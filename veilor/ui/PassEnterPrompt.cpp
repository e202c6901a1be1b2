#include "ui/PassEnterPrompt.h"

#include <wx/defs.h>

#include "core/MessageBox.h"
#include "core/MessageCatalogue.h"
#include "core/MessageIds.h"
#include "ui/PassEnterFrm.h"

std::optional<wxString> CPassEnterPrompt::AskPassword(const wxString& prompt, bool offerStored,
                                                      bool askTwice) {
  return ::AskPassword(nullptr, prompt, !offerStored, askTwice, &passwords_);
}

void CPassEnterPrompt::Warn(const wxString& text) {
  ShowMessageBox(text, Msg(msg::TitleWarning), wxOK | wxCENTRE | wxICON_WARNING);
}

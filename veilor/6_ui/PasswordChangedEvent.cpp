#include "6_ui/PasswordChangedEvent.h"

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

wxDEFINE_EVENT(EVT_PASSWORD_CHANGED, wxCommandEvent);

void SendPasswordChanged(wxEvtHandler* parent, const CPasswordChanger& changer) {
  if (!parent) return;
  wxCommandEvent event(EVT_PASSWORD_CHANGED);
  // The receiver only reads it; stored as a wxObject so that it can check the type.
  wxObject* data = const_cast<CPasswordChanger*>(&changer);
  event.SetClientData(data);
  parent->ProcessEvent(event);
}

const CPasswordChanger& PasswordChangerOf(const wxCommandEvent& event) {
  const auto* changer =
      dynamic_cast<const CPasswordChanger*>(static_cast<wxObject*>(event.GetClientData()));
  if (!changer) throw CPassManagerException(Msg(msg::WrongPasswordChangerData));
  return *changer;
}

#include "6_ui/PassEnterFrm.h"

#include <memory>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassManagerDlg.h"

namespace {
wxFont ControlFont(int points) {
  return wxFont(points, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                "Tahoma");
}
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CPassEnterFrm, CXPDialog)
  EVT_BUTTON(CPassEnterFrm::ID_BUTTON_OK, CPassEnterFrm::OnOk)
  EVT_BUTTON(CPassEnterFrm::ID_BUTTON_CLOSE, CPassEnterFrm::OnClose)
  EVT_BUTTON(CPassEnterFrm::ID_BUTTON_BROWSE, CPassEnterFrm::OnBrowse)
  EVT_DPI_CHANGED(CPassEnterFrm::OnDpiChanged)
wxEND_EVENT_TABLE()
// clang-format on

CPassEnterFrm::CPassEnterFrm(wxWindow* parent, int id, bool hideBrowse, const wxString& prompt,
                             const wxString& skinPath, unsigned char alpha)
    : CXPDialog(parent, id, prompt, wxDefaultPosition, wxDefaultSize, wxSTAY_ON_TOP),
      hideBrowse_(hideBrowse),
      skinPath_(skinPath),
      alpha_(alpha),
      passwords_(nullptr),
      prompt_(prompt) {
  SetTitle("New Dialog");
  SetPosition(wxPoint(8, 8));
  SetSize(FromDIP(wxSize(340, 98)));
  Centre(wxBOTH);

  closeButton = new wxButton(this, ID_BUTTON_CLOSE, "X", wxDefaultPosition, wxDefaultSize,
                             wxBORDER_SIMPLE | kSmallButton);
  closeButton->SetFont(ControlFont(9));
  closeButton->SetToolTip("Close dialog");
  passwordEdit =
      new wxTextCtrl(this, ID_EDIT, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
  passwordEdit->SetFont(ControlFont(8));
  browseButton =
      new wxButton(this, ID_BUTTON_BROWSE, "...", wxDefaultPosition, wxDefaultSize, kSmallButton);
  browseButton->SetFont(ControlFont(8));
  okButton = new wxButton(this, ID_BUTTON_OK, "OK", wxDefaultPosition, wxDefaultSize, kSmallButton);
  okButton->SetFont(ControlFont(8));
  PlaceControls();

  // Enter and Escape act on release, so the key press that started the
  // program or closed the previous window cannot end this one.
  passwordEdit->Bind(wxEVT_KEY_UP, &CPassEnterFrm::OnEditKeyUp, this);
  passwordEdit->Bind(wxEVT_TEXT, &CPassEnterFrm::OnEditText, this);
}

// The places the skin leaves for the controls, in pixels at 96 DPI.
void CPassEnterFrm::PlaceControls() {
  closeButton->SetSize(DipRect(*this, wxRect(301, 7, 28, 19)));
  passwordEdit->SetSize(DipRect(*this, wxRect(8, 38, 259, 19)));
  browseButton->SetSize(DipRect(*this, wxRect(271, 38, 28, 19)));
  okButton->SetSize(DipRect(*this, wxRect(301, 38, 28, 19)));
}

void CPassEnterFrm::OnDpiChanged(wxDPIChangedEvent& event) {
  PlaceControls();
  event.Skip();  // the skin follows too
}

int CPassEnterFrm::Run() {
  browseButton->Show(!hideBrowse_);
  return ShowModal(skinPath_, passwordEdit, alpha_);
}

void CPassEnterFrm::OnOk(wxCommandEvent&) { Confirm(); }

void CPassEnterFrm::Confirm() {
  if (!askTwice_ || picked_) {
    EndModal(Confirmed);
    return;
  }
  // Only encryption asks twice: an empty password there would encrypt with
  // a key anyone can make, and the sources would go.
  if (!firstEntry_ && passwordEdit->GetValue().empty()) {
    Warn(msg::EnteredPasswordEmpty);
    StartOver();
    return;
  }
  if (!firstEntry_) {
    firstEntry_ = passwordEdit->GetValue();
    passwordEdit->ChangeValue(wxEmptyString);
    SetCaption(Msg(msg::PasswordAgainPrompt));
    passwordEdit->SetFocus();
    return;
  }
  if (passwordEdit->GetValue() == *firstEntry_) {
    EndModal(Confirmed);
    return;
  }
  Warn(msg::PasswordsDiffer);
  StartOver();
}

void CPassEnterFrm::Warn(int textId) {
  // This window stays on top: hidden, it cannot cover the box.
  Hide();
  ShowMessageBox(Msg(textId), Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
  Show();
  Raise();
}

void CPassEnterFrm::StartOver() {
  firstEntry_.reset();
  picked_ = false;
  passwordEdit->ChangeValue(wxEmptyString);
  SetCaption(prompt_);
  passwordEdit->SetFocus();
}

void CPassEnterFrm::OnEditText(wxCommandEvent& event) {
  picked_ = false;
  event.Skip();
}

void CPassEnterFrm::OnClose(wxCommandEvent&) { EndModal(Cancelled); }

// Picking a stored password fills the field but does not confirm it: the
// user still presses OK or Enter.
void CPassEnterFrm::OnBrowse(wxCommandEvent&) {
  if (!passwords_) return;
  try {
    CPassManagerDlg manager(this, -1, Msg(msg::PasswordManagerTitle), /*selectMode=*/true,
                            *passwords_);
    const int result = manager.Run(wxEmptyString);
    const long row = manager.SelectedRow();
    if (result == CPassManagerDlg::Picked && row >= 0) {
      StartOver();
      passwordEdit->ChangeValue(manager.PasswordAt(row));
      picked_ = true;
      passwordEdit->SetInsertionPointEnd();
      passwordEdit->SetFocus();
    }
    // Entries added, edited or removed there are kept whichever way it ended.
    manager.StoreEntries();
  } catch (const std::exception& error) {
    // Reported here so that the password window stays usable.
    ShowErrorBox(error);
  }
}

void CPassEnterFrm::OnEditKeyUp(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_ESCAPE: EndModal(Cancelled); break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: Confirm(); break;
    default: event.Skip();
  }
}

namespace {
// Not named DestroyWindow: that is a system function on Windows.
struct DestroyThroughToolkit {
  void operator()(wxWindow* window) const { window->Destroy(); }
};
}  // namespace

std::optional<wxString> AskPassword(wxWindow* parent, const wxString& prompt, bool hideBrowse,
                                    bool askTwice, CPasswordManager* passwords) {
  // A top-level window is destroyed through the toolkit, also when Run throws
  // for a missing skin.
  std::unique_ptr<CPassEnterFrm, DestroyThroughToolkit> window(
      new CPassEnterFrm(parent, -1, hideBrowse, prompt,
                        CImageStore::GetThemesDir() + Msg(msg::PassEnterSkinFile), 220));
  window->SetAskTwice(askTwice);
  window->SetPasswordManager(passwords);
  if (window->Run() != CPassEnterFrm::Confirmed) return std::nullopt;
  return window->GetPassword();
}

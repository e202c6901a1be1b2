#include "6_ui/PassEditDlg.h"

#include <wx/sizer.h>
#include <wx/statbox.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"

namespace {
const wxString kTitleText =
    "Use this dialog to add new password to password manager. Password name field is mandatory. "
    "This name wil be shown in password manager.";

void Warn(int textId) {
  ShowMessageBox(Msg(textId), Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
}

// The warning for a value the stored list cannot hold, or 0 when it can.
int StorageProblemText(CPasswordManager::EntryProblem problem) {
  using Problem = CPasswordManager::EntryProblem;
  switch (problem) {
    case Problem::PasswordTooLong: return msg::StoredPasswordTooLong;
    case Problem::PromptTooLong: return msg::StoredPromptTooLong;
    case Problem::NameTooLong: return msg::StoredNameTooLong;
    case Problem::NotRepresentable: return msg::TextNotRepresentable;
    case Problem::None: break;
  }
  return 0;
}
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CPassEditDlg, wxDialog)
  EVT_BUTTON(CPassEditDlg::ID_BUTTON_ADD, CPassEditDlg::OnAdd)
  EVT_BUTTON(CPassEditDlg::ID_BUTTON_CLOSE, CPassEditDlg::OnCloseButton)
  EVT_CLOSE(CPassEditDlg::OnCloseRequest)
wxEND_EVENT_TABLE()
// clang-format on

CPassEditDlg::CPassEditDlg(wxWindow* parent, int id, const wxString& caption)
    : wxDialog(parent, id, caption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX) {
  SetFont(DialogFont());
  auto* root = new wxBoxSizer(wxVERTICAL);

  AddDialogHeader(*this, *root, CImageStore::PasswordEditHeader, kTitleText, picture,
                  guiStaticTitle, ID_PICTURE, ID_STATIC_TITLE);

  auto* box = new wxStaticBoxSizer(new wxStaticBox(this, ID_BOX, "Password data"), wxVERTICAL);
  wxWindow* boxWindow = box->GetStaticBox();
  auto* grid = new wxFlexGridSizer(2, FromDIP(wxSize(8, 4)));
  grid->AddGrowableCol(1);
  auto addRow = [&](wxStaticText*& label, int labelId, const wxString& text, wxTextCtrl*& edit,
                    int editId, long style) {
    label = new wxStaticText(boxWindow, labelId, text);
    grid->Add(label, 0, wxALIGN_CENTER_VERTICAL);
    edit =
        new wxTextCtrl(boxWindow, editId, wxEmptyString, wxDefaultPosition, wxDefaultSize, style);
    grid->Add(edit, 1, wxEXPAND);
  };
  addRow(guiStaticPassword1, ID_STATIC_PASSWORD1, "Password:", guiEditPassword1, ID_EDIT_PASSWORD1,
         wxTE_PASSWORD);
  addRow(guiStaticPassword2, ID_STATIC_PASSWORD2, "Confirm password:", guiEditPassword2,
         ID_EDIT_PASSWORD2, wxTE_PASSWORD);
  addRow(guiStaticTip, ID_STATIC_TIP, "Password prompt:", guiEditPrompt, ID_EDIT_PROMPT, 0);
  addRow(guiStaticPassName, ID_STATIC_PASS_NAME, "Password name:", guiEditName, ID_EDIT_NAME, 0);
  box->Add(grid, 1, wxEXPAND | wxALL, FromDIP(5));
  root->Add(box, 1, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  guiButtonAdd = new wxButton(this, ID_BUTTON_ADD, "Add");
  guiButtonClose = new wxButton(this, ID_BUTTON_CLOSE, "Close");
  buttons->Add(guiButtonAdd, 0, wxRIGHT, FromDIP(6));
  buttons->Add(guiButtonClose, 0);
  root->Add(buttons, 0, wxALIGN_RIGHT | wxALL, FromDIP(10));

  SetIconFromPicture(*this, CImageStore::PasswordEditIcon);
  SetSizer(root);
  // Escape acts as "Close".
  SetEscapeId(ID_BUTTON_CLOSE);
  SetSize(FromDIP(wxSize(425, 299)));
  // The header picture and the borders around it and the text take 94
  // pixels at 96 DPI.
  WrapToWidth(guiStaticTitle, GetClientSize().x - FromDIP(94));
  SetFixedSizeAtLeast(*this, FromDIP(wxSize(425, 299)));
  Centre(wxBOTH);
}

int CPassEditDlg::Run() {
  guiEditPassword1->SetFocus();
  return ShowModal();
}

void CPassEditDlg::OnAdd(wxCommandEvent&) {
  if (CheckInput()) EndModal(Accepted);
}

void CPassEditDlg::OnCloseButton(wxCommandEvent&) {
  if (IsModal()) EndModal(Closed);
}

void CPassEditDlg::OnCloseRequest(wxCloseEvent&) {
  if (IsModal()) EndModal(Closed);
}

bool CPassEditDlg::CheckInput() {
  const wxString password = guiEditPassword1->GetValue();
  if (password != guiEditPassword2->GetValue()) {
    Warn(msg::PasswordsDiffer);
    return false;
  }
  if (password.empty()) {
    Warn(msg::EmptyPassword);
    return false;
  }
  if (guiEditName->GetValue().empty()) {
    Warn(msg::PasswordNameMissing);
    return false;
  }
  // What is accepted here must fit the stored list: one value it cannot hold
  // would lose every change of the session when the list is stored.
  const CPasswordEntry entry(password, guiEditPrompt->GetValue(), guiEditName->GetValue());
  if (const int problem = StorageProblemText(CPasswordManager::StorageProblem(entry))) {
    Warn(problem);
    return false;
  }
  // A prompt is only a reminder: its absence is pointed out, not refused.
  if (guiEditPrompt->GetValue().empty()) Warn(msg::PasswordPromptMissing);
  return true;
}

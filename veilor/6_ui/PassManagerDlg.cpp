#include "6_ui/PassManagerDlg.h"

#include <wx/sizer.h>
#include <wx/statbox.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/AdministratorCheck.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassEditDlg.h"
#include "6_ui/PasswordChangedEvent.h"

namespace {
const wxString kTitleText =
    "Use this dialog to manage your passwords. All passwords are hided from anyone and stores in "
    "encrypted states. Use sinonims to simplify work with passwords.";

// The list asks for the names of the rows it shows, so that opening it costs
// the same for a hundred thousand entries as for ten.
class NameList : public wxListCtrl {
public:
  NameList(wxWindow* parent, wxWindowID id, const std::vector<CPasswordEntry>& entries)
      : wxListCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                   wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_VIRTUAL),
        entries_(entries) {}

  wxString OnGetItemText(long item, long) const override {
    if (item < 0 || static_cast<std::size_t>(item) >= entries_.size()) return wxString();
    return entries_[static_cast<std::size_t>(item)].name;
  }

private:
  const std::vector<CPasswordEntry>& entries_;
};

void WarnNotSelected() {
  ShowMessageBox(Msg(msg::PasswordNotSelected), Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
}
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CPassManagerDlg, wxDialog)
  EVT_BUTTON(CPassManagerDlg::ID_BUTTON_SELECT, CPassManagerDlg::OnSelect)
  EVT_LIST_ITEM_ACTIVATED(CPassManagerDlg::ID_LIST, CPassManagerDlg::OnActivated)
  EVT_BUTTON(CPassManagerDlg::ID_BUTTON_CLOSE, CPassManagerDlg::OnCloseButton)
  EVT_CLOSE(CPassManagerDlg::OnCloseRequest)
  EVT_BUTTON(CPassManagerDlg::ID_BUTTON_ADD, CPassManagerDlg::OnAdd)
  EVT_BUTTON(CPassManagerDlg::ID_BUTTON_EDIT, CPassManagerDlg::OnEdit)
  EVT_BUTTON(CPassManagerDlg::ID_BUTTON_REMOVE, CPassManagerDlg::OnRemove)
  EVT_BUTTON(CPassManagerDlg::ID_BUTTON_SHOW, CPassManagerDlg::OnShow)
wxEND_EVENT_TABLE()
// clang-format on

CPassManagerDlg::CPassManagerDlg(wxWindow* parent, int id, const wxString& caption, bool selectMode,
                                 CPasswordManager& passwords)
    : wxDialog(parent, id, caption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX),
      passwords_(passwords),
      notifyWindow_(parent) {
  SetFont(DialogFont());
  auto* root = new wxBoxSizer(wxVERTICAL);

  AddDialogHeader(*this, *root, CImageStore::PasswordManagerHeader, kTitleText, picture,
                  guiStaticTitle, ID_PICTURE, ID_STATIC_TITLE);

  auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Password list");
  // Names change only through "Edit", which checks them, stores them and
  // tells the settings dialog; a label edited in place would be none of that.
  passwordList = new NameList(box->GetStaticBox(), ID_LIST, entries_);
  passwordList->InsertColumn(0, "Password names", wxLIST_FORMAT_LEFT, FromDIP(438));
  box->Add(passwordList, 1, wxEXPAND | wxALL, FromDIP(5));
  root->Add(box, 1, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  guiButtonAdd = NarrowButton(this, ID_BUTTON_ADD, "Add");
  guiButtonEdit = NarrowButton(this, ID_BUTTON_EDIT, "Edit");
  guiButtonRemove = NarrowButton(this, ID_BUTTON_REMOVE, "Remove");
  guiButtonShow = NarrowButton(this, ID_BUTTON_SHOW, "Show");
  guiButtonSelect = NarrowButton(this, ID_BUTTON_SELECT, "Select");
  guiButtonClose = NarrowButton(this, ID_BUTTON_CLOSE, "Close");
  for (wxButton* button : {guiButtonAdd, guiButtonEdit, guiButtonRemove, guiButtonShow}) {
    buttons->Add(button, 0, wxRIGHT, FromDIP(6));
  }
  buttons->AddStretchSpacer();
  buttons->Add(guiButtonSelect, 0, wxRIGHT, FromDIP(6));
  buttons->Add(guiButtonClose, 0);
  root->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(10));
  guiButtonSelect->Show(selectMode);

  SetIconFromPicture(*this, CImageStore::PasswordManagerIcon);
  SetSizer(root);
  // Escape acts as "Close".
  SetEscapeId(ID_BUTTON_CLOSE);
  SetSize(FromDIP(wxSize(483, 397)));
  // The header picture and the borders around it and the text take 94
  // pixels at 96 DPI.
  WrapToWidth(guiStaticTitle, GetClientSize().x - FromDIP(94));
  SetFixedSizeAtLeast(*this, FromDIP(wxSize(483, 397)));
  Centre(wxBOTH);

  // A list out of step or damaged opens with what can be paired, so that
  // storing it repairs the file.
  CPasswordManager::PairedEntries loaded = passwords_.LoadPairedEntries();
  entries_.swap(loaded.entries);
  leftOut_ = loaded.leftOut;
  passwordList->SetItemCount(static_cast<long>(entries_.size()));
}

int CPassManagerDlg::Run(const wxString& preselect) {
  if (leftOut_ > 0) {
    ShowMessageBox(wxString::Format(Msg(msg::PasswordListsOutOfStep), leftOut_),
                   Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
  }
  if (preselect.empty()) {
    if (passwordList->GetItemCount() > 0) SelectRow(0);
  } else {
    for (std::size_t row = 0; row < entries_.size(); ++row) {
      if (entries_[row].name == preselect) {
        SelectRow(static_cast<long>(row));
        break;
      }
    }
  }
  return ShowModal();
}

long CPassManagerDlg::SelectedRow() const {
  return passwordList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

wxString CPassManagerDlg::PasswordAt(long row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) return wxString();
  return entries_[static_cast<std::size_t>(row)].password;
}

wxString CPassManagerDlg::NameAt(long row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) return wxString();
  return entries_[static_cast<std::size_t>(row)].name;
}

void CPassManagerDlg::StoreEntries() { passwords_.StoreEntries(entries_); }

void CPassManagerDlg::SelectRow(long row) {
  passwordList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                             wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  passwordList->EnsureVisible(row);
}

void CPassManagerDlg::Finish(int result) {
  if (IsModal()) EndModal(result);
}

void CPassManagerDlg::OnSelect(wxCommandEvent&) { Finish(Picked); }

void CPassManagerDlg::OnActivated(wxListEvent&) { Finish(Picked); }

void CPassManagerDlg::OnCloseButton(wxCommandEvent&) { Finish(Closed); }

void CPassManagerDlg::OnCloseRequest(wxCloseEvent&) { Finish(Closed); }

void CPassManagerDlg::OnAdd(wxCommandEvent&) {
  CPassEditDlg editor(this, -1, Msg(msg::AddPasswordTitle));
  editor.guiButtonAdd->SetLabel(Msg(msg::ButtonAdd));
  if (editor.Run() != CPassEditDlg::Accepted) return;
  const CPasswordEntry entry(editor.guiEditPassword1->GetValue(), editor.guiEditPrompt->GetValue(),
                             editor.guiEditName->GetValue());
  if (entry.name.empty()) return;
  entries_.push_back(entry);
  passwordList->SetItemCount(static_cast<long>(entries_.size()));
}

void CPassManagerDlg::OnEdit(wxCommandEvent&) {
  const long row = SelectedRow();
  if (row < 0) {
    WarnNotSelected();
    return;
  }
  CPasswordEntry& entry = entries_[static_cast<std::size_t>(row)];
  CPassEditDlg editor(this, -1, Msg(msg::EditPasswordTitle));
  editor.guiEditPassword1->ChangeValue(entry.password);
  editor.guiEditPassword2->ChangeValue(entry.password);
  editor.guiEditPrompt->ChangeValue(entry.prompt);
  editor.guiEditName->ChangeValue(entry.name);
  editor.guiButtonAdd->SetLabel(Msg(msg::ButtonSet));
  CPasswordChanger changer;
  changer.oldEntry = entry;
  if (editor.Run() != CPassEditDlg::Accepted) return;

  entry.password = editor.guiEditPassword1->GetValue();
  entry.prompt = editor.guiEditPrompt->GetValue();
  entry.name = editor.guiEditName->GetValue();
  changer.newEntry = entry;
  changer.action = CPasswordChanger::Edited;
  passwordList->RefreshItem(row);
  SendPasswordChanged(notifyWindow_, changer);
}

void CPassManagerDlg::OnRemove(wxCommandEvent&) {
  const long row = SelectedRow();
  if (row < 0) {
    WarnNotSelected();
    return;
  }
  CPasswordChanger changer;
  changer.oldEntry = entries_[static_cast<std::size_t>(row)];
  changer.action = CPasswordChanger::Removed;
  if (ShowMessageBox(Msg(msg::RemovePasswordQuestion), Msg(msg::TitleQuestion),
                     wxYES_NO | wxICON_QUESTION | wxCENTRE) != wxYES) {
    return;
  }
  entries_.erase(entries_.begin() + row);
  passwordList->DeleteItem(row);

  if (!entries_.empty()) {
    const long next = row > 0 ? row - 1 : 0;
    SelectRow(next);
    changer.newEntry = entries_[static_cast<std::size_t>(next)];
  }
  SendPasswordChanged(notifyWindow_, changer);
}

void CPassManagerDlg::OnShow(wxCommandEvent&) {
  const long row = SelectedRow();
  if (row < 0) {
    WarnNotSelected();
    return;
  }
  // The password window can fail (a missing skin); the list stays open.
  try {
    if (!ConfirmAdministrator(this, passwords_)) return;
  } catch (const std::exception& error) {
    ShowErrorBox(error);
    return;
  }
  ShowMessageBox(
      Msg(msg::PasswordRevealed) + Msg(msg::Apostrophe) + PasswordAt(row) + Msg(msg::Apostrophe),
      Msg(msg::TitleInformation), wxOK | wxICON_INFORMATION | wxCENTRE);
}

#include "6_ui/SettingsDlg.h"

#include <wx/iconbndl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/statline.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordEntry.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/AdministratorCheck.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"
#include "6_ui/MessageBox.h"
#include "6_ui/PassManagerDlg.h"
#include "6_ui/PasswordChangedEvent.h"

namespace {
const wxString kTitleText =
    "Use this dialog to setup Ordal veilor behavior. To manage passwords use buttons \"...\" "
    "(browse). TIP: To use high security level dont type any passwords here.";

void Warn(int textId) {
  ShowMessageBox(Msg(textId), Msg(msg::TitleWarning), wxOK | wxICON_WARNING);
}
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CSettingsDlg, wxDialog)
  EVT_CHECKBOX(CSettingsDlg::ID_CHECK_USE_DEF_ENC_PASS, CSettingsDlg::OnUseDefEncPass)
  EVT_CHECKBOX(CSettingsDlg::ID_CHECK_USE_DEF_DEC_PASS, CSettingsDlg::OnUseDefDecPass)
  EVT_BUTTON(CSettingsDlg::ID_BUTTON_DEF_ENC_PASS_SELECT, CSettingsDlg::OnDefEncPassSelect)
  EVT_BUTTON(CSettingsDlg::ID_BUTTON_DEF_DEC_PASS_SELECT, CSettingsDlg::OnDefDecPassSelect)
  EVT_BUTTON(CSettingsDlg::ID_BUTTON_OK, CSettingsDlg::OnOk)
  EVT_BUTTON(CSettingsDlg::ID_BUTTON_CLOSE, CSettingsDlg::OnCloseButton)
  EVT_CLOSE(CSettingsDlg::OnCloseRequest)
  EVT_COMMAND(wxID_ANY, EVT_PASSWORD_CHANGED, CSettingsDlg::OnPasswordChanged)
wxEND_EVENT_TABLE()
// clang-format on

CSettingsDlg::CSettingsDlg(wxWindow* parent, int id, const wxString& caption, CSettings& settings,
                           CPasswordManager& passwords)
    : wxDialog(parent, id, caption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX),
      passwords_(passwords),
      switches_(settings) {
  SetFont(DialogFont());
  auto* root = new wxBoxSizer(wxVERTICAL);

  AddDialogHeader(*this, *root, CImageStore::SettingsHeader, kTitleText, picture, guiStaticTitle);
  root->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));

  // Passwords: a check box, a name field and "..." per direction, then the
  // administrator password twice, in aligned columns.
  auto* passwordsBox = new wxStaticBoxSizer(wxVERTICAL, this, "Passwords");
  wxWindow* pb = passwordsBox->GetStaticBox();
  auto* grid = new wxFlexGridSizer(3, FromDIP(wxSize(6, 4)));
  grid->AddGrowableCol(1);
  guiCheckUseDefEncPass =
      new wxCheckBox(pb, ID_CHECK_USE_DEF_ENC_PASS, "Use default encryption password:");
  guiEditDefEncPass = new wxTextCtrl(pb, ID_EDIT_DEF_ENC_PASS, wxEmptyString);
  guiButtonDefEncPassSelect =
      new wxButton(pb, ID_BUTTON_DEF_ENC_PASS_SELECT, "...", wxDefaultPosition,
                   wxSize(FromDIP(28), -1), kSmallButton);
  guiCheckUseDefDecPass =
      new wxCheckBox(pb, ID_CHECK_USE_DEF_DEC_PASS, "Use default decryption password:");
  guiEditDefDecPass = new wxTextCtrl(pb, ID_EDIT_DEF_DEC_PASS, wxEmptyString);
  guiButtonDefDecPassSelect =
      new wxButton(pb, ID_BUTTON_DEF_DEC_PASS_SELECT, "...", wxDefaultPosition,
                   wxSize(FromDIP(28), -1), kSmallButton);
  guiStaticAdmPass = new wxStaticText(pb, wxID_ANY, "Administrator password:");
  guiEditAdmPass = new wxTextCtrl(pb, ID_EDIT_ADM_PASS, wxEmptyString, wxDefaultPosition,
                                  wxDefaultSize, wxTE_PASSWORD);
  guiStaticConfirmAdmPass = new wxStaticText(pb, wxID_ANY, "Confirm administrator password:");
  guiEditConfirmAdmPass = new wxTextCtrl(pb, ID_EDIT_CONFIRM_ADM_PASS, wxEmptyString,
                                         wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
  grid->Add(guiCheckUseDefEncPass, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(guiEditDefEncPass, 1, wxEXPAND);
  grid->Add(guiButtonDefEncPassSelect, 0, wxEXPAND);
  grid->Add(guiCheckUseDefDecPass, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(guiEditDefDecPass, 1, wxEXPAND);
  grid->Add(guiButtonDefDecPassSelect, 0, wxEXPAND);
  grid->Add(guiStaticAdmPass, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(guiEditAdmPass, 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->Add(guiStaticConfirmAdmPass, 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(guiEditConfirmAdmPass, 1, wxEXPAND);
  grid->AddSpacer(0);
  passwordsBox->Add(grid, 0, wxEXPAND | wxALL, FromDIP(5));
  guiCheckChooseEncPass = new wxCheckBox(pb, ID_CHECK_CHOOSE_ENC_PASS,
                                         "Choose encryption password from Password Manager");
  guiCheckChooseDecPass = new wxCheckBox(pb, ID_CHECK_CHOOSE_DEC_PASS,
                                         "Choose decryption password from Password Manager");
  passwordsBox->Add(guiCheckChooseEncPass, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(5));
  passwordsBox->Add(guiCheckChooseDecPass, 0, wxALL, FromDIP(5));
  root->Add(passwordsBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));

  auto* settingsBox = new wxStaticBoxSizer(wxVERTICAL, this, "Settings");
  wxWindow* sb = settingsBox->GetStaticBox();
  auto* switches = new wxFlexGridSizer(2, FromDIP(wxSize(12, 4)));
  switches->AddGrowableCol(0);
  switches->AddGrowableCol(1);
  guiCheckRemoveFilesAfterEnc =
      new wxCheckBox(sb, ID_CHECK_REMOVE_FILES_AFTER_ENC, "Remove source files after encryption");
  guiCheckOverwriteFiles = new wxCheckBox(sb, ID_CHECK_OVERWRITE_FILES, "Overwrite existing files");
  guiCheckRemoveFilesAfterDec =
      new wxCheckBox(sb, ID_CHECK_REMOVE_FILES_AFTER_DEC, "Remove source files after decryption");
  guiCheckHideReportDlg = new wxCheckBox(sb, ID_CHECK_HIDE_REPORT_DLG, "Hide report dialog");
  guiCheckEnableLogging =
      new wxCheckBox(sb, ID_CHECK_ENABLE_LOGGING, "Enable logging (need restart)");
  switches->Add(guiCheckRemoveFilesAfterEnc);
  switches->Add(guiCheckOverwriteFiles);
  switches->Add(guiCheckRemoveFilesAfterDec);
  switches->Add(guiCheckHideReportDlg);
  switches->Add(guiCheckEnableLogging);
  settingsBox->Add(switches, 0, wxEXPAND | wxALL, FromDIP(5));
  root->Add(settingsBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));

  root->AddStretchSpacer();
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  guiButtonOK = new wxButton(this, ID_BUTTON_OK, "OK");
  guiButtonClose = new wxButton(this, ID_BUTTON_CLOSE, "Close");
  buttons->Add(guiButtonOK, 0, wxRIGHT, FromDIP(6));
  buttons->Add(guiButtonClose, 0);
  root->Add(buttons, 0, wxALIGN_RIGHT | wxALL, FromDIP(10));

  wxIconBundle icons;
  for (int key : {CImageStore::SettingsIconLarge, CImageStore::SettingsIconSmall}) {
    wxIcon icon;
    icon.CopyFromBitmap(CImageStore::Instance().GetBitmap(key));
    if (icon.IsOk()) icons.AddIcon(icon);
  }
  if (!icons.IsEmpty()) SetIcons(icons);

  SetSizer(root);
  // Escape acts as "Close".
  SetEscapeId(ID_BUTTON_CLOSE);
  SetSize(FromDIP(wxSize(486, 497)));
  // The header picture and the borders around it and the text take 94
  // pixels at 96 DPI.
  WrapToWidth(guiStaticTitle, GetClientSize().x - FromDIP(94));
  SetFixedSizeAtLeast(*this, FromDIP(wxSize(486, 497)));
  Centre(wxBOTH);

  adminPassword_.Bind(settings, CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword);
  enableLog_.Bind(settings, CSettings::GroupLogger, CSettings::ItemEnableLog);
  FillControls();
}

void CSettingsDlg::FillControls() {
  guiEditDefEncPass->ChangeValue(UnprotectString(switches_.defEncPass.Get()));
  guiEditDefDecPass->ChangeValue(UnprotectString(switches_.defDecPass.Get()));
  const wxString admin = UnprotectString(adminPassword_.Get());
  guiEditAdmPass->ChangeValue(admin);
  guiEditConfirmAdmPass->ChangeValue(admin);

  const bool useDefEnc = switches_.useDefEncPass.Get();
  const bool useDefDec = switches_.useDefDecPass.Get();
  guiCheckUseDefEncPass->SetValue(useDefEnc);
  guiCheckUseDefDecPass->SetValue(useDefDec);
  guiCheckRemoveFilesAfterEnc->SetValue(switches_.removeAfterEnc.Get());
  guiCheckRemoveFilesAfterDec->SetValue(switches_.removeAfterDec.Get());
  guiCheckOverwriteFiles->SetValue(switches_.overwrite.Get());
  guiCheckHideReportDlg->SetValue(switches_.hideReport.Get());
  guiCheckChooseEncPass->SetValue(switches_.chooseEncPass.Get());
  guiCheckChooseDecPass->SetValue(switches_.chooseDecPass.Get());
  guiCheckEnableLogging->SetValue(enableLog_.Get());

  // A default password makes asking, and so choosing, unnecessary.
  guiCheckChooseEncPass->Enable(!useDefEnc);
  guiCheckChooseDecPass->Enable(!useDefDec);
  guiButtonDefEncPassSelect->Enable(useDefEnc);
  guiButtonDefDecPassSelect->Enable(useDefDec);
}

int CSettingsDlg::Run() {
  if (!ConfirmAdministrator(this, passwords_)) return Refused;
  return ShowModal();
}

void CSettingsDlg::StoreSettings() {
  switches_.defEncPass.Set(
      ProtectString(guiEditDefEncPass->GetValue(), CSettings::FillerDefEncPass));
  switches_.defDecPass.Set(
      ProtectString(guiEditDefDecPass->GetValue(), CSettings::FillerDefDecPass));
  adminPassword_.Set(ProtectString(guiEditAdmPass->GetValue(), CSettings::FillerAdminPassword));
  switches_.useDefEncPass.Set(guiCheckUseDefEncPass->GetValue());
  switches_.useDefDecPass.Set(guiCheckUseDefDecPass->GetValue());
  switches_.removeAfterEnc.Set(guiCheckRemoveFilesAfterEnc->GetValue());
  switches_.removeAfterDec.Set(guiCheckRemoveFilesAfterDec->GetValue());
  switches_.overwrite.Set(guiCheckOverwriteFiles->GetValue());
  switches_.hideReport.Set(guiCheckHideReportDlg->GetValue());
  switches_.chooseEncPass.Set(guiCheckChooseEncPass->GetValue());
  switches_.chooseDecPass.Set(guiCheckChooseDecPass->GetValue());
  enableLog_.Set(guiCheckEnableLogging->GetValue());
}

// The two "use default" boxes are stored at once, not when the dialog ends.
void CSettingsDlg::ApplyUseDefault(wxCheckBox* check, CBoolSetting& setting, wxButton* select,
                                   wxCheckBox* choose) {
  const bool on = check->GetValue();
  setting.Set(on);
  select->Enable(on);
  choose->Enable(!on);
}

void CSettingsDlg::OnUseDefEncPass(wxCommandEvent&) {
  ApplyUseDefault(guiCheckUseDefEncPass, switches_.useDefEncPass, guiButtonDefEncPassSelect,
                  guiCheckChooseEncPass);
}

void CSettingsDlg::OnUseDefDecPass(wxCommandEvent&) {
  ApplyUseDefault(guiCheckUseDefDecPass, switches_.useDefDecPass, guiButtonDefDecPassSelect,
                  guiCheckChooseDecPass);
}

void CSettingsDlg::OnDefEncPassSelect(wxCommandEvent&) { ChooseStoredName(guiEditDefEncPass); }

void CSettingsDlg::OnDefDecPassSelect(wxCommandEvent&) { ChooseStoredName(guiEditDefDecPass); }

void CSettingsDlg::ChooseStoredName(wxTextCtrl* field) {
  try {
    CPassManagerDlg manager(this, -1, Msg(msg::PasswordManagerTitle), /*selectMode=*/true,
                            passwords_);
    const int result = manager.Run(field->GetValue());
    const long row = manager.SelectedRow();
    // The entry's name, as it is stored.
    if (result == CPassManagerDlg::Picked && row >= 0) {
      field->ChangeValue(manager.NameAt(row));
    }
    // Edits and removals made there were reported already; they are kept
    // whichever way the manager ended.
    manager.StoreEntries();
  } catch (const std::exception& error) {
    // Reported here, so that the settings stay open and are still written.
    ShowErrorBox(error);
  }
}

void CSettingsDlg::FinishIfAdministratorFieldsAgree(int result) {
  if (!AcceptNewAdministratorPassword(guiEditAdmPass->GetValue(),
                                      guiEditConfirmAdmPass->GetValue())) {
    return;
  }
  if (IsModal()) EndModal(result);
}

void CSettingsDlg::OnOk(wxCommandEvent&) { FinishIfAdministratorFieldsAgree(ClosedWithOk); }

void CSettingsDlg::OnCloseButton(wxCommandEvent&) { FinishIfAdministratorFieldsAgree(Closed); }

void CSettingsDlg::OnCloseRequest(wxCloseEvent& event) {
  if (!IsModal()) return;
  FinishIfAdministratorFieldsAgree(Closed);
  if (IsModal() && event.CanVeto()) event.Veto();
}

// Keeps the default names in step with the password manager opened from
// here. After a removal the name stays in its field, but the default is
// switched off so that no operation looks for it.
void CSettingsDlg::OnPasswordChanged(wxCommandEvent& event) {
  const CPasswordChanger& changer = PasswordChangerOf(event);
  const bool edited = changer.action == CPasswordChanger::Edited;
  if (guiEditDefEncPass->GetValue() == changer.oldEntry.name) {
    if (edited) {
      guiEditDefEncPass->ChangeValue(changer.newEntry.name);
    } else {
      guiCheckUseDefEncPass->SetValue(false);
      ApplyUseDefault(guiCheckUseDefEncPass, switches_.useDefEncPass, guiButtonDefEncPassSelect,
                      guiCheckChooseEncPass);
      Warn(msg::DefaultEncPasswordRemoved);
      return;
    }
  }
  if (guiEditDefDecPass->GetValue() == changer.oldEntry.name) {
    if (edited) {
      guiEditDefDecPass->ChangeValue(changer.newEntry.name);
    } else {
      guiCheckUseDefDecPass->SetValue(false);
      ApplyUseDefault(guiCheckUseDefDecPass, switches_.useDefDecPass, guiButtonDefDecPassSelect,
                      guiCheckChooseDecPass);
      Warn(msg::DefaultDecPasswordRemoved);
    }
  }
}

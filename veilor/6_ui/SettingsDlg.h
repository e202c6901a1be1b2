#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "3_settings/FileSwitches.h"
#include "3_settings/SettingReference.h"

class CPasswordManager;
class CSettings;

// Edits the default passwords, the administrator password and the switches
// of file processing. There is no Cancel: whichever way it ends, the owner
// writes the controls back with StoreSettings before destroying it, so that a
// value too long to store is reported to the owner instead of ending the
// program.
class CSettingsDlg : public wxDialog {
public:
  enum ControlId {
    ID_CHECK_USE_DEF_ENC_PASS = 1004,
    ID_EDIT_DEF_ENC_PASS = 1005,
    ID_BUTTON_DEF_ENC_PASS_SELECT = 1006,
    ID_EDIT_ADM_PASS = 1009,
    ID_EDIT_CONFIRM_ADM_PASS = 1011,
    ID_CHECK_REMOVE_FILES_AFTER_ENC = 1013,
    ID_CHECK_REMOVE_FILES_AFTER_DEC = 1014,
    ID_BUTTON_OK = 1017,
    ID_BUTTON_CLOSE = 1018,
    ID_CHECK_HIDE_REPORT_DLG = 1019,
    ID_CHECK_OVERWRITE_FILES = 1020,
    ID_CHECK_USE_DEF_DEC_PASS = 1024,
    ID_EDIT_DEF_DEC_PASS = 1025,
    ID_BUTTON_DEF_DEC_PASS_SELECT = 1026,
    ID_CHECK_CHOOSE_ENC_PASS = 1028,
    ID_CHECK_CHOOSE_DEC_PASS = 1029,
    ID_CHECK_ENABLE_LOGGING = 1030,
  };
  enum Result { ClosedWithOk = 0, Closed = 1, Refused = 2 };

  // Builds the dialog hidden, filled from the settings.
  CSettingsDlg(wxWindow* parent, int id, const wxString& caption, CSettings& settings,
               CPasswordManager& passwords);

  // Asks for the administrator password first; when that is cancelled or
  // wrong the dialog is never shown and the result is Refused. Otherwise runs
  // it modally: ClosedWithOk for "OK", Closed for "Close" or the close box.
  int Run();

  // Writes every control back: the default names, the administrator
  // password, then the switches. Raises CSettingsException when a text is too
  // long to store; the options after it are then left as they were.
  void StoreSettings();

  wxCheckBox* guiCheckUseDefEncPass;
  wxTextCtrl* guiEditDefEncPass;
  wxButton* guiButtonDefEncPassSelect;
  wxCheckBox* guiCheckUseDefDecPass;
  wxTextCtrl* guiEditDefDecPass;
  wxButton* guiButtonDefDecPassSelect;
  wxStaticText* guiStaticAdmPass;
  wxTextCtrl* guiEditAdmPass;
  wxStaticText* guiStaticConfirmAdmPass;
  wxTextCtrl* guiEditConfirmAdmPass;
  wxCheckBox* guiCheckChooseEncPass;
  wxCheckBox* guiCheckChooseDecPass;
  wxCheckBox* guiCheckRemoveFilesAfterEnc;
  wxCheckBox* guiCheckRemoveFilesAfterDec;
  wxCheckBox* guiCheckOverwriteFiles;
  wxCheckBox* guiCheckHideReportDlg;
  wxCheckBox* guiCheckEnableLogging;
  wxButton* guiButtonOK;
  wxButton* guiButtonClose;
  wxStaticText* guiStaticTitle;
  wxStaticBitmap* picture;

private:
  void FillControls();
  void OnUseDefEncPass(wxCommandEvent& event);
  void OnUseDefDecPass(wxCommandEvent& event);
  void OnDefEncPassSelect(wxCommandEvent& event);
  void OnDefDecPassSelect(wxCommandEvent& event);
  void OnOk(wxCommandEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnCloseRequest(wxCloseEvent& event);
  void OnPasswordChanged(wxCommandEvent& event);
  void ApplyUseDefault(wxCheckBox* check, CBoolSetting& setting, wxButton* select,
                       wxCheckBox* choose);
  void ChooseStoredName(wxTextCtrl* field);
  void FinishIfAdministratorFieldsAgree(int result);

  CPasswordManager& passwords_;
  CFileSwitches switches_;
  CStringSetting adminPassword_;
  CBoolSetting enableLog_;

  wxDECLARE_EVENT_TABLE();
};

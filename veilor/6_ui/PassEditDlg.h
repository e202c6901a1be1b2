#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

// Collects a stored password (typed twice), its prompt and its name for the
// password manager, which reads the fields after an accepted run. It stores
// nothing itself, but accepts only what the stored list can hold.
class CPassEditDlg : public wxDialog {
public:
  enum ControlId {
    ID_PICTURE = 1002,
    ID_STATIC_TITLE = 1003,
    ID_BOX = 1025,
    ID_STATIC_PASSWORD1 = 1041,
    ID_EDIT_PROMPT = 1042,
    ID_EDIT_PASSWORD1 = 1043,
    ID_EDIT_PASSWORD2 = 1044,
    ID_STATIC_PASSWORD2 = 1045,
    ID_STATIC_TIP = 1046,
    ID_BUTTON_ADD = 1047,
    ID_STATIC_PASS_NAME = 1049,
    ID_EDIT_NAME = 1050,
    ID_BUTTON_CLOSE = 1051,
  };
  enum Result { Closed = 0, Accepted = 1 };

  CPassEditDlg(wxWindow* parent, int id, const wxString& caption);

  // Focuses the first password field and runs the dialog modally.
  int Run();

  wxTextCtrl* guiEditPassword1;
  wxTextCtrl* guiEditPassword2;
  wxTextCtrl* guiEditPrompt;
  wxTextCtrl* guiEditName;
  wxButton* guiButtonAdd;
  wxButton* guiButtonClose;
  wxStaticText* guiStaticPassword1;
  wxStaticText* guiStaticPassword2;
  wxStaticText* guiStaticTip;
  wxStaticText* guiStaticPassName;
  wxStaticText* guiStaticTitle;
  wxStaticBitmap* picture;

private:
  void OnAdd(wxCommandEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnCloseRequest(wxCloseEvent& event);
  bool CheckInput();

  wxDECLARE_EVENT_TABLE();
};

#pragma once

#include <optional>

#include <wx/button.h>
#include <wx/textctrl.h>

#include "6_ui/XPDialog.h"

class CPasswordManager;

// The small skinned window in which the user types a password. It only
// collects the text: 0 means confirmed, 1 cancelled.
class CPassEnterFrm : public CXPDialog {
public:
  enum ControlId {
    ID_BUTTON_CLOSE = 1012,
    ID_EDIT = 1013,
    ID_BUTTON_BROWSE = 1014,
    ID_BUTTON_OK = 1015,
  };
  enum Result { Confirmed = 0, Cancelled = 1 };

  CPassEnterFrm(wxWindow* parent, int id, bool hideBrowse, const wxString& prompt,
                const wxString& skinPath, unsigned char alpha);

  // With askTwice the typed password must be typed a second time, under a
  // prompt that says so; a mismatch is refused and both are typed anew, and
  // so is an empty first entry (asking twice is for encryption). A password
  // picked from the stored list is taken as it is.
  void SetAskTwice(bool askTwice) { askTwice_ = askTwice; }

  int Run();
  wxString GetPassword() const { return passwordEdit->GetValue(); }

  // The stored passwords the browse button offers. Without them the button
  // does nothing.
  void SetPasswordManager(CPasswordManager* passwords) { passwords_ = passwords; }

  wxButton* closeButton;
  wxTextCtrl* passwordEdit;
  wxButton* browseButton;
  wxButton* okButton;

private:
  void OnOk(wxCommandEvent& event);
  void OnClose(wxCommandEvent& event);
  void OnBrowse(wxCommandEvent& event);
  void OnEditKeyUp(wxKeyEvent& event);
  void OnEditText(wxCommandEvent& event);
  void OnDpiChanged(wxDPIChangedEvent& event);
  void PlaceControls();
  void Confirm();
  void StartOver();
  void Warn(int textId);

  bool hideBrowse_;
  wxString skinPath_;
  unsigned char alpha_;
  CPasswordManager* passwords_;
  bool askTwice_ = false;
  wxString prompt_;
  // The first of the two entries, while the second is being typed.
  std::optional<wxString> firstEntry_;
  // The field holds a password picked from the stored list, untouched.
  bool picked_ = false;

  wxDECLARE_EVENT_TABLE();
};

// Shows the password window with the program's skin and transparency and
// returns the confirmed text; nothing when the user cancelled. The browse
// button offers `passwords`. Raises CXPDialogException when the skin is
// missing or broken.
std::optional<wxString> AskPassword(wxWindow* parent, const wxString& prompt, bool hideBrowse,
                                    bool askTwice = false, CPasswordManager* passwords = nullptr);

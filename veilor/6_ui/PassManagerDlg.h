#pragma once

#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "4_passwords/PasswordEntry.h"

class CPasswordManager;

// Lists the stored passwords by name; adds, edits, removes and reveals them,
// and in select mode lets the user pick one. It works on a copy of the
// stored list: the owner writes it back with StoreEntries before destroying
// the dialog, whichever way the dialog ended, so that a list that cannot be
// stored is reported to the owner instead of ending the program.
class CPassManagerDlg : public wxDialog {
public:
  enum ControlId {
    ID_PICTURE = 1002,
    ID_STATIC_TITLE = 1003,
    ID_BUTTON_SELECT = 1008,
    ID_BUTTON_ADD = 1013,
    ID_BUTTON_REMOVE = 1014,
    ID_LIST = 1015,
    ID_BUTTON_EDIT = 1016,
    ID_BUTTON_CLOSE = 1017,
    ID_BUTTON_SHOW = 1018,
  };
  enum Result { Picked = 0, Closed = 1 };

  // Loads what can be paired of the stored list (Run says what was left
  // out). Edits and removals are reported to `parent`.
  CPassManagerDlg(wxWindow* parent, int id, const wxString& caption, bool selectMode,
                  CPasswordManager& passwords);

  // Says first what of the stored list could not be shown, if anything; then
  // selects the first row named `preselect` (row 0 when it is empty) and runs
  // the dialog modally: Picked or Closed.
  int Run(const wxString& preselect);

  // The list's selected row, or -1.
  long SelectedRow() const;
  // The password of the entry at `row`; empty for a row out of range.
  wxString PasswordAt(long row) const;

  // The name of the entry at `row`; empty for a row out of range.
  wxString NameAt(long row) const;

  // Replaces the stored list with the working copy. Raises
  // CSettingsException, with the stored list unchanged, when an entry is too
  // long to store.
  void StoreEntries();

  wxListCtrl* passwordList;
  wxButton* guiButtonAdd;
  wxButton* guiButtonEdit;
  wxButton* guiButtonRemove;
  wxButton* guiButtonShow;
  wxButton* guiButtonSelect;
  wxButton* guiButtonClose;
  wxStaticText* guiStaticTitle;
  wxStaticBitmap* picture;

private:
  void OnSelect(wxCommandEvent& event);
  void OnActivated(wxListEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnCloseRequest(wxCloseEvent& event);
  void OnAdd(wxCommandEvent& event);
  void OnEdit(wxCommandEvent& event);
  void OnRemove(wxCommandEvent& event);
  void OnShow(wxCommandEvent& event);
  void Finish(int result);
  void SelectRow(long row);

  CPasswordManager& passwords_;
  std::vector<CPasswordEntry> entries_;
  std::size_t leftOut_ = 0;
  wxWindow* notifyWindow_;

  friend struct PassManagerDlgSeam;
  wxDECLARE_EVENT_TABLE();
};

#pragma once

#include <memory>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

// The report of one encryption or decryption batch: a row per file with its
// status and description, and a bar for the progress of the file in work.
// While busy (from construction until FinishAndShowModal) it cannot be
// closed.
class CReportDlg : public wxDialog {
public:
  enum ControlId {
    ID_BUTTON_CLOSE = 1005,
    ID_HEADER_PICTURE = 1008,
    ID_STATIC_TITLE = 1009,
    ID_FILE_LIST = 1011,
    ID_PROGRESS_BAR = 1015,
  };
  enum Column { ColumnFile = 0, ColumnStatus = 1, ColumnDescription = 2 };

  CReportDlg(wxWindow* parent, int id, const wxString& title);
  ~CReportDlg() override;

  // Appends a row for a file taken up and scrolls it into view, so that a long
  // batch shows the file in work. Returns the row's index.
  long AddFileRow(const wxString& path);
  void SetFileResult(long row, const wxString& status, const wxString& description);

  // Ends the busy state and runs the window modally; returns 0. Called a
  // second time it only reports an internal error.
  int FinishAndShowModal();

  bool IsBusy() const { return busy_; }

  wxButton* closeButton;
  wxBoxSizer* buttonRow;
  wxGauge* progressBar;
  wxBoxSizer* progressRow;
  wxListCtrl* fileList;
  wxStaticText* titleText;
  wxStaticBitmap* headerPicture;
  wxBoxSizer* headerRow;
  wxBoxSizer* rootSizer;

private:
  void OnCloseButton(wxCommandEvent& event);
  void OnCloseRequest(wxCloseEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnProgress(wxCommandEvent& event);
  void KeepAlive();

  bool busy_ = true;
  // Lets pending input reach the window during a batch when no event loop
  // runs (the batch runs before any loop of the program starts).
  std::unique_ptr<wxEventLoopBase> yieldLoop_;

  wxDECLARE_EVENT_TABLE();
};

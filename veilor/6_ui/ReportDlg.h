#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "6_ui/BatchProgress.h"
#include "6_ui/ReportList.h"

// The report of one encryption or decryption batch: a row per file with its
// status and description, a bar for the progress of the file in work and the
// batch's overall progress beside it. While busy (from construction until
// FinishAndShowModal) it cannot be closed, but the user can ask to stop.
class CReportDlg : public wxDialog {
public:
  enum ControlId {
    ID_BUTTON_CLOSE = 1005,
    ID_HEADER_PICTURE = 1008,
    ID_STATIC_TITLE = 1009,
    ID_FILE_LIST = 1011,
    ID_PROGRESS_BAR = 1015,
    ID_BUTTON_STOP = 1016,
    ID_OVERALL_PROGRESS = 1017,
  };
  enum Column { ColumnFile = 0, ColumnStatus = 1, ColumnDescription = 2 };

  CReportDlg(wxWindow* parent, int id, const wxString& title);
  ~CReportDlg() override;

  // Appends a row for a file taken up, scrolled into view at the window's
  // next update so that a long batch shows the file in work. Returns the
  // row's index.
  long AddFileRow(const wxString& path);
  void SetFileResult(long row, const wxString& status, const wxString& description);
  // Shows what a row's file is doing while it has no result; not counted as done.
  void NoteFile(long row, const wxString& text);
  // The batch's files in order by size, for the overall progress.
  void SetFileSizes(std::vector<std::uint64_t> sizes);
  // Whether the user asked to stop the batch ("Stop", or Escape while busy).
  bool StopRequested() const { return stopRequested_; }

  // Ends the busy state and runs the window modally; returns 0. Called a
  // second time it only reports an internal error.
  int FinishAndShowModal();

  wxButton* closeButton;
  wxButton* stopButton;
  wxBoxSizer* buttonRow;
  wxGauge* progressBar;
  wxStaticText* overallText;
  wxBoxSizer* progressRow;
  CReportList* fileList;
  wxStaticText* titleText;
  wxStaticBitmap* headerPicture;
  wxBoxSizer* headerRow;
  wxBoxSizer* rootSizer;

private:
  friend struct ReportDlgSeam;

  void OnCloseButton(wxCommandEvent& event);
  void OnStopButton(wxCommandEvent& event);
  void RequestStop();
  void OnCloseRequest(wxCloseEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnProgress(wxCommandEvent& event);
  void OnIdle(wxIdleEvent& event);
  void ShowChanges();
  void KeepAliveWhenDue();
  void KeepAlive();

  bool busy_ = true;
  bool stopRequested_ = false;
  int step_ = 0;  // of the file in work
  CBatchProgress overall_;
  // Painting and taking input cost far more than a small file's step, so the
  // window is brought up to date at most this often.
  std::chrono::steady_clock::time_point nextKeepAlive_{};
  // Lets pending input reach the window during a batch when no event loop
  // runs (the batch runs before any loop of the program starts).
  std::unique_ptr<wxEventLoopBase> yieldLoop_;

  wxDECLARE_EVENT_TABLE();
};

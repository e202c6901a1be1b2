#include "6_ui/ReportDlgSink.h"

#include "6_ui/ReportDlg.h"
#include "6_ui/ReportProgressEvent.h"

CReportDlgSink::~CReportDlgSink() { End(); }

void CReportDlgSink::Begin(const wxString& title) {
  End();
  report_ = new CReportDlg(nullptr, -1, title);
}

void CReportDlgSink::SetFileSizes(std::vector<std::uint64_t> sizes) {
  report_->SetFileSizes(std::move(sizes));
}

bool CReportDlgSink::StopRequested() const {
  return report_ != nullptr && report_->StopRequested();
}

void CReportDlgSink::ShowBusy() {
  report_->Show(true);
  report_->closeButton->Enable(false);
  // Not on "Stop": a stray Enter or space must not end a long batch.
  report_->fileList->SetFocus();
}

long CReportDlgSink::AddRow(const wxString& path) { return report_->AddFileRow(path); }

void CReportDlgSink::Progress(int step) { SendReportProgress(report_, step); }

void CReportDlgSink::Note(long row, const wxString& text) { report_->NoteFile(row, text); }

void CReportDlgSink::SetResult(long row, const wxString& status, const wxString& description) {
  report_->SetFileResult(row, status, description);
}

void CReportDlgSink::Finish() {
  report_->Show(true);
  report_->closeButton->Enable(true);
  report_->closeButton->SetFocus();
  report_->FinishAndShowModal();
}

// The report is a top-level window: destroyed through the toolkit, not deleted.
void CReportDlgSink::End() {
  if (report_ == nullptr) return;
  report_->Destroy();
  report_ = nullptr;
}

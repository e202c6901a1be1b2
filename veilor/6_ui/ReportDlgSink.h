#pragma once

#include "5_batch/BatchReportSink.h"

class CReportDlg;

// A batch's report shown in the report window, which exists from Begin to
// End and is filled even while hidden.
class CReportDlgSink : public CBatchReportSink {
public:
  CReportDlgSink() = default;
  ~CReportDlgSink() override;
  CReportDlgSink(const CReportDlgSink&) = delete;
  CReportDlgSink& operator=(const CReportDlgSink&) = delete;

  void Begin(const wxString& title) override;
  void SetFileSizes(std::vector<std::uint64_t> sizes) override;
  bool StopRequested() const override;
  void ShowBusy() override;
  long AddRow(const wxString& path) override;
  void Progress(int step) override;
  void Note(long row, const wxString& text) override;
  void SetResult(long row, const wxString& status, const wxString& description) override;
  void Finish() override;
  void End() override;

private:
  CReportDlg* report_ = nullptr;
};

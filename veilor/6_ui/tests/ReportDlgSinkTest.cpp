// A batch's report as the program shows it: the report window behind the
// batch's sink.
#include <gtest/gtest.h>
#include <wx/toplevel.h>

#include "6_ui/ReportDlg.h"
#include "6_ui/ReportDlgSink.h"
#include "WindowTesting.h"

namespace {
using namespace std::chrono_literals;

// The sink's report, told from those other tests left by its title.
CReportDlg* OpenReport() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* report = dynamic_cast<CReportDlg*>(window);
        report && report->GetTitle() == "Sink report") {
      return report;
    }
  }
  return nullptr;
}

TEST(ReportDlgSinkTest, FillsShowsAndEndsTheReportWindow) {
  CReportDlgSink sink;
  sink.Begin("Sink report");
  CReportDlg* report = OpenReport();
  ASSERT_NE(report, nullptr);
  EXPECT_FALSE(report->IsShown()) << "nothing is shown before the files are taken up";

  sink.ShowBusy();
  EXPECT_TRUE(report->IsShown());
  EXPECT_FALSE(report->closeButton->IsEnabled());
  const long row = sink.AddRow("/data/a.txt");
  sink.Progress(42);
  sink.SetResult(row, "Done", "");
  EXPECT_EQ(report->fileList->GetItemText(row, CReportDlg::ColumnFile), "/data/a.txt");
  EXPECT_EQ(report->fileList->GetItemText(row, CReportDlg::ColumnStatus), "Done");
  EXPECT_EQ(report->progressBar->GetValue(), 42);

  bool closable = false;
  WhenLoopRuns([&] {
    closable = report->closeButton->IsEnabled() && report->IsModal();
    report->EndModal(0);
  });
  SafetyNet net([report] { report->EndModal(0); }, 10s);
  sink.Finish();
  EXPECT_TRUE(closable) << "the finished report waits, closable, for the user";

  sink.End();
  Settle(50ms);
  EXPECT_EQ(OpenReport(), nullptr);
}

}  // namespace

// A batch's report as the program shows it: the report window behind the
// batch's sink.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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
  // The bar moves at the window's next update.
  SettleUntil([&] { return report->progressBar->GetValue() == 42; });
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
  EXPECT_TRUE(SettleUntil([] { return OpenReport() == nullptr; }));
}

// Ten thousand small files as the batch reports them: every row ends with its
// status and description, the row in work is kept in view during the batch,
// and the overall progress counts them all.
TEST(ReportDlgSinkTest, TenThousandRowsEndComplete) {
  constexpr long kFiles = 10000;
  CReportDlgSink sink;
  sink.Begin("Sink report");
  CReportDlg* report = OpenReport();
  ASSERT_NE(report, nullptr);
  sink.SetFileSizes(std::vector<std::uint64_t>(kFiles, 4096));
  sink.ShowBusy();
  long topMidway = -1;
  for (long i = 0; i < kFiles; ++i) {
    const long row = sink.AddRow(wxString::Format("/data/small/file%05ld.bin", i));
    ASSERT_EQ(row, i);
    for (int step = 0; step < 100; ++step) sink.Progress(step);
    sink.SetResult(row, i % 2 ? "Done" : "Skipped", wxString::Format("note %ld", i));
    if (i == kFiles / 2) {
      // The window catches up at its next update, without any event loop.
      const auto inView = [&] {
        const long top = report->fileList->GetTopItem();
        return top <= i && top + report->fileList->GetCountPerPage() > i;
      };
      const auto limit = std::chrono::steady_clock::now() + 8s;
      while (!inView() && std::chrono::steady_clock::now() < limit) {
        wxMilliSleep(10);
        sink.Progress(0);
      }
      topMidway = report->fileList->GetTopItem();
    }
  }
  EXPECT_FALSE(sink.StopRequested());
  EXPECT_LE(topMidway, kFiles / 2);
  EXPECT_GT(topMidway + report->fileList->GetCountPerPage(), kFiles / 2);

  wxString overall;
  bool complete = false;
  WhenLoopRuns([&] {
    overall = report->overallText->GetLabel();
    complete = report->fileList->GetItemCount() == kFiles;
    for (long i = 0; i < kFiles && complete; ++i) {
      complete = report->fileList->GetItemText(i, CReportDlg::ColumnStatus) ==
                     (i % 2 ? "Done" : "Skipped") &&
                 report->fileList->GetItemText(i, CReportDlg::ColumnDescription) ==
                     wxString::Format("note %ld", i);
    }
    report->EndModal(0);
  });
  SafetyNet net([report] { report->EndModal(0); }, 10s);
  sink.Finish();
  EXPECT_TRUE(complete) << "every row has its status and description";
  EXPECT_TRUE(overall.StartsWith("10000 of 10000 files, 39.1 MB of 39.1 MB")) << overall;
  sink.End();
}

}  // namespace

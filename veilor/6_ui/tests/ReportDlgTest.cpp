// The report window driven as a batch drives it, under a private X server.
#include <gtest/gtest.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "6_ui/ReportDlg.h"
#include "6_ui/ReportProgressEvent.h"
#include "ReportDlgSeam.h"
#include "WindowTesting.h"

namespace {
using namespace std::chrono_literals;

constexpr int kTimedOut = 99;

// A dialog in the state of a running batch: shown, not modal, Close disabled.
class ReportDlgTest : public testing::Test {
protected:
  ReportDlgTest() : dialog_(new CReportDlg(nullptr, -1, "Encryption report")) {
    dialog_->Show(true);
    dialog_->closeButton->Enable(false);
  }
  ~ReportDlgTest() override { dialog_->Destroy(); }

  // The end of the batch: Close enabled and focused, then modal until closed
  // by `action`, which runs inside the modal loop.
  int FinishWith(std::function<void()> action) {
    dialog_->closeButton->Enable(true);
    dialog_->closeButton->SetFocus();
    WhenLoopRuns(std::move(action));
    SafetyNet net([this] { dialog_->EndModal(kTimedOut); }, 10s);
    return dialog_->FinishAndShowModal();
  }

  bool Deliver(wxWindow* target, wxKeyEvent event) {
    event.SetEventObject(target);
    return target->GetEventHandler()->ProcessEvent(event);
  }

  CReportDlg* dialog_;
};

TEST_F(ReportDlgTest, BuildsTheReportLayout) {
  ASSERT_EQ(dialog_->fileList->GetColumnCount(), 3);
  const char* headings[] = {"Files", "Status", "Description"};
  const int widths[] = {290, 74, 260};
  for (int column = 0; column < 3; ++column) {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
    ASSERT_TRUE(dialog_->fileList->GetColumn(column, item));
    EXPECT_EQ(item.GetText(), headings[column]);
    EXPECT_EQ(item.GetWidth(), widths[column]);
  }
  EXPECT_EQ(dialog_->closeButton->GetLabel(), "Close");
  EXPECT_EQ(dialog_->progressBar->GetRange(), 100);
  EXPECT_TRUE(dialog_->HasFlag(wxSTAY_ON_TOP));
  EXPECT_TRUE(dialog_->titleText->GetLabel().StartsWith("Ordal Veilor report window."));
  EXPECT_TRUE(ReportDlgSeam::IsBusy(*dialog_));
}

TEST_F(ReportDlgTest, CannotBeClosedWhileBusy) {
  EXPECT_FALSE(dialog_->Close(false)) << "the close request must be vetoed";
  for (int key : {WXK_RETURN, WXK_NUMPAD_ENTER, WXK_ESCAPE}) {
    // Swallowed, not passed on to the list's own handling.
    EXPECT_TRUE(Deliver(dialog_->fileList, KeyUp(key)));
    EXPECT_TRUE(Deliver(dialog_->closeButton, KeyUp(key)));
  }
  ProcessPending();
  EXPECT_TRUE(dialog_->IsShown());
  EXPECT_TRUE(ReportDlgSeam::IsBusy(*dialog_));
  EXPECT_FALSE(dialog_->IsModal());
}

// While busy, "Stop" or Escape asks the batch to stop, once; the report
// stays open and busy until the batch has finished it.
TEST_F(ReportDlgTest, StopOrEscapeAsksToStopWhileBusy) {
  EXPECT_EQ(dialog_->stopButton->GetLabel(), "Stop");
  EXPECT_TRUE(dialog_->stopButton->IsEnabled());
  Deliver(dialog_->fileList, KeyUp(WXK_ESCAPE, /*shift=*/true));
  EXPECT_FALSE(dialog_->StopRequested()) << "Shift+Escape is not a stop";
  const std::function<void()> asks[] = {
      [this] {
        wxCommandEvent click(wxEVT_BUTTON, CReportDlg::ID_BUTTON_STOP);
        click.SetEventObject(dialog_->stopButton);
        dialog_->stopButton->GetEventHandler()->ProcessEvent(click);
      },
      [this] { Deliver(dialog_->fileList, KeyUp(WXK_ESCAPE)); },
  };
  for (const auto& ask : asks) {
    delete std::exchange(dialog_, new CReportDlg(nullptr, -1, "Encryption report"));
    dialog_->Show(true);
    ask();
    EXPECT_TRUE(dialog_->StopRequested());
    EXPECT_FALSE(dialog_->stopButton->IsEnabled());
    EXPECT_TRUE(ReportDlgSeam::IsBusy(*dialog_));
    EXPECT_TRUE(dialog_->IsShown());
  }
  EXPECT_EQ(FinishWith([&] { dialog_->EndModal(0); }), 0);
  EXPECT_FALSE(dialog_->stopButton->IsEnabled()) << "nothing to stop after the batch";
}

TEST_F(ReportDlgTest, EscapeOrEnterClosesAfterTheBatch) {
  struct Case {
    bool onList;
    int key;
  };
  for (Case c : {Case{true, WXK_ESCAPE}, Case{true, WXK_RETURN}, Case{false, WXK_NUMPAD_ENTER},
                 Case{false, WXK_ESCAPE}}) {
    delete std::exchange(dialog_, new CReportDlg(nullptr, -1, "Decryption report"));
    dialog_->Show(true);
    wxWindow* target = c.onList ? static_cast<wxWindow*>(dialog_->fileList)
                                : static_cast<wxWindow*>(dialog_->closeButton);
    EXPECT_EQ(FinishWith([&] { Deliver(target, KeyUp(c.key)); }), 0) << c.key;
    EXPECT_FALSE(dialog_->IsModal());
  }
}

TEST_F(ReportDlgTest, KeysWithModifiersAndOtherKeysArePassedOn) {
  bool stillOpen = false;
  const int result = FinishWith([&] {
    EXPECT_FALSE(Deliver(dialog_->fileList, KeyUp(WXK_RETURN, /*shift=*/true)));
    EXPECT_FALSE(Deliver(dialog_->fileList, KeyUp(WXK_ESCAPE, false, /*control=*/true)));
    EXPECT_FALSE(Deliver(dialog_->closeButton, KeyUp(WXK_RETURN, false, false, /*alt=*/true)));
    EXPECT_FALSE(Deliver(dialog_->fileList, KeyUp('A')));
    stillOpen = dialog_->IsModal();
    wxCommandEvent click(wxEVT_BUTTON, CReportDlg::ID_BUTTON_CLOSE);
    click.SetEventObject(dialog_->closeButton);
    dialog_->closeButton->GetEventHandler()->ProcessEvent(click);
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, 0) << "the Close button ends the report";
}

TEST_F(ReportDlgTest, CloseRequestEndsTheFinishedReport) {
  EXPECT_EQ(FinishWith([&] { dialog_->Close(false); }), 0);
}

// Real key strokes through the X server reach the handler on release.
TEST_F(ReportDlgTest, RealEscapeKeyInTheListCloses) {
  const int result = FinishWith([&] {
    dialog_->fileList->SetFocus();
    EXPECT_TRUE(SettleUntil([&] { return HasFocus(dialog_->fileList); }));
    wxUIActionSimulator keyboard;
    keyboard.Char(WXK_ESCAPE);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ReportDlgTest, SecondFinishIsAnInternalError) {
  EXPECT_EQ(FinishWith([&] { dialog_->EndModal(0); }), 0);

  class ExpectInternalError : public wxExpectModalBase<wxMessageDialog> {
  protected:
    int OnInvoked(wxMessageDialog* box) const override {
      EXPECT_EQ(box->GetMessage(), "Internal error!");
      EXPECT_EQ(box->GetTitle(), "Veilor Error");
      EXPECT_TRUE(box->GetMessageDialogStyle() & wxICON_ERROR);
      return wxID_OK;
    }
  };
  int result = -1;
  wxTEST_DIALOG(result = dialog_->FinishAndShowModal(), ExpectInternalError());
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(dialog_->IsShown() && dialog_->IsModal());
}

TEST_F(ReportDlgTest, ProgressMovesTheBarPerStep) {
  for (int step : {0, 1, 57, 99}) {
    SendReportProgress(dialog_, step);
    // The bar moves at the window's next update.
    SettleUntil([&] { return dialog_->progressBar->GetValue() == step; });
    EXPECT_EQ(dialog_->progressBar->GetValue(), step);
  }
  SendReportProgress(nullptr, 5);  // no window, no event
  ProcessPending();
  EXPECT_EQ(dialog_->progressBar->GetValue(), 99);
}

// The batch runs on the GUI thread; between steps the window must still take
// the user's input, here a click that selects a row.
TEST_F(ReportDlgTest, ProgressStepsLetTheWindowTakeInput) {
  for (int i = 0; i < 3; ++i) dialog_->AddFileRow(wxString::Format("/data/file%d.txt", i));
  wxRect row;
  ASSERT_TRUE(SettleUntil([&] { return dialog_->fileList->GetItemRect(1, row) && row.height > 0; }))
      << "the rows were never laid out";
  const wxPoint target = dialog_->fileList->ClientToScreen(row.GetPosition() + wxPoint(20, 4));
  ASSERT_TRUE(MovePointerOnto(dialog_->fileList, target));

  wxUIActionSimulator().MouseClick();
  // The click waits in the queue until a progress step lets it through.
  const auto selected = [&] {
    return dialog_->fileList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  };
  const auto limit = std::chrono::steady_clock::now() + 8s;
  for (int step = 0; selected() != 1 && std::chrono::steady_clock::now() < limit; ++step) {
    wxMilliSleep(5);
    SendReportProgress(dialog_, step % 100);
  }
  EXPECT_EQ(dialog_->fileList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 1);
}

TEST_F(ReportDlgTest, LongBatchKeepsTheFileInWorkVisible) {
  long last = -1;
  for (int i = 0; i < 1000; ++i) {
    last = dialog_->AddFileRow(wxString::Format("/data/file%04d.bin", i));
    dialog_->SetFileResult(last, "OK", "Encrypted");
  }
  // The list scrolls at its next layout.
  SettleUntil([&] {
    const long shownTop = dialog_->fileList->GetTopItem();
    return shownTop <= last && shownTop + dialog_->fileList->GetCountPerPage() > last;
  });
  EXPECT_EQ(last, 999);
  const long top = dialog_->fileList->GetTopItem();
  EXPECT_LE(top, last);
  EXPECT_GT(top + dialog_->fileList->GetCountPerPage(), last);
  EXPECT_EQ(dialog_->fileList->GetItemText(999, CReportDlg::ColumnStatus), "OK");
  EXPECT_EQ(dialog_->fileList->GetItemText(999, CReportDlg::ColumnDescription), "Encrypted");
}

// After a stop, files that still got their outcome count as done; the file
// abandoned by the stop and those not reached do not.
TEST_F(ReportDlgTest, CounterAfterStopCountsEveryFinishedRow) {
  dialog_->SetFileSizes({1, 1, 1, 1});
  for (int i = 0; i < 4; ++i) dialog_->AddFileRow(wxString::Format("/data/f%d", i));
  dialog_->SetFileResult(0, "Done", "");
  Deliver(dialog_->fileList, KeyUp(WXK_ESCAPE));
  ASSERT_TRUE(dialog_->StopRequested());
  dialog_->SetFileResult(1, "Done", "");
  dialog_->SetFileResult(2, "Incomplete", Msg(msg::StoppedInWork));
  dialog_->SetFileResult(3, Msg(msg::StatusStopped), Msg(msg::NotProcessedStopped));
  EXPECT_EQ(FinishWith([&] { dialog_->EndModal(0); }), 0);
  EXPECT_TRUE(dialog_->overallText->GetLabel().StartsWith("2 of 4 files"))
      << dialog_->overallText->GetLabel();
}
}  // namespace

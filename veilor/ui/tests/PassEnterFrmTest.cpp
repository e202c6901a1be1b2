// The password window with its real skin, typed into through the X server.
#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include "WindowTesting.h"
#include "ui/ImageStore.h"
#include "ui/PassEnterFrm.h"

namespace {
using namespace std::chrono_literals;

constexpr int kTimedOut = 99;

class PassEnterFrmTest : public testing::Test {
protected:
  PassEnterFrmTest() { CImageStore::Instance(); }

  // Runs the window with `hideBrowse`, acting on it from inside its loop.
  int Run(std::function<void(CPassEnterFrm&)> action, bool hideBrowse = false) {
    window_ = new CPassEnterFrm(nullptr, -1, hideBrowse, "Please enter password for AES encryption",
                                VEILOR_SKIN, 220);
    WhenLoopRuns([this, action] {
      Settle();
      action(*window_);
    });
    SafetyNet net([this] { window_->EndModal(kTimedOut); }, 10s);
    return window_->Run();
  }

  void Click(wxButton* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
  }

  ~PassEnterFrmTest() override {
    if (window_) window_->Destroy();
  }

  CPassEnterFrm* window_ = nullptr;
};

TEST_F(PassEnterFrmTest, TypedPasswordAndEnterConfirm) {
  EXPECT_EQ(Run([](CPassEnterFrm&) {
              wxUIActionSimulator keyboard;
              keyboard.Text("s3cret pass");
              keyboard.Char(WXK_RETURN);
            }),
            CPassEnterFrm::Confirmed);
  EXPECT_EQ(window_->GetPassword(), "s3cret pass");
  EXPECT_TRUE(window_->passwordEdit->HasFlag(wxTE_PASSWORD));
}

TEST_F(PassEnterFrmTest, EscapeCancels) {
  EXPECT_EQ(Run([](CPassEnterFrm&) { wxUIActionSimulator().Char(WXK_ESCAPE); }),
            CPassEnterFrm::Cancelled);
}

// The key press alone does nothing: the window ends on release.
TEST_F(PassEnterFrmTest, EnterActsOnReleaseOnly) {
  bool openAfterPress = false;
  EXPECT_EQ(Run([&](CPassEnterFrm& window) {
              wxKeyEvent press(wxEVT_KEY_DOWN);
              press.m_keyCode = WXK_NUMPAD_ENTER;
              press.SetEventObject(window.passwordEdit);
              window.passwordEdit->GetEventHandler()->ProcessEvent(press);
              openAfterPress = window.IsRunningModal();
              wxKeyEvent release = KeyUp(WXK_NUMPAD_ENTER);
              release.SetEventObject(window.passwordEdit);
              window.passwordEdit->GetEventHandler()->ProcessEvent(release);
            }),
            CPassEnterFrm::Confirmed);
  EXPECT_TRUE(openAfterPress);
}

TEST_F(PassEnterFrmTest, ButtonsAndCloseRequestGiveTheirResults) {
  EXPECT_EQ(Run([this](CPassEnterFrm& w) { Click(w.okButton); }), CPassEnterFrm::Confirmed);
  EXPECT_EQ(window_->GetPassword(), "") << "an empty password is confirmed like any other";
  window_->Destroy();
  EXPECT_EQ(Run([this](CPassEnterFrm& w) { Click(w.closeButton); }), CPassEnterFrm::Cancelled);
  window_->Destroy();
  EXPECT_EQ(Run([](CPassEnterFrm& w) { w.Close(); }), CPassEnterFrm::Cancelled);
}

TEST_F(PassEnterFrmTest, BrowseButtonShownOnlyWhenAsked) {
  bool shown = true;
  Run(
      [&](CPassEnterFrm& w) {
        shown = w.browseButton->IsShown();
        // Typing still works without the button.
        wxUIActionSimulator().Text("abc");
        Settle(100ms);
        w.EndModal(0);
      },
      /*hideBrowse=*/true);
  EXPECT_FALSE(shown);
  EXPECT_EQ(window_->GetPassword(), "abc");
  window_->Destroy();
  Run([&](CPassEnterFrm& w) {
    shown = w.browseButton->IsShown();
    w.EndModal(0);
  });
  EXPECT_TRUE(shown);
}

TEST_F(PassEnterFrmTest, ControlsSitWhereTheSkinExpectsThem) {
  Run([](CPassEnterFrm& w) {
    EXPECT_EQ(w.GetSize(), wxSize(340, 98));
    EXPECT_EQ(w.closeButton->GetRect(), wxRect(301, 7, 28, 19));
    EXPECT_EQ(w.passwordEdit->GetPosition(), wxPoint(8, 38));
    EXPECT_EQ(w.browseButton->GetPosition(), wxPoint(271, 38));
    EXPECT_EQ(w.okButton->GetPosition(), wxPoint(301, 38));
    EXPECT_EQ(w.closeButton->GetToolTipText(), "Close dialog");
    w.EndModal(1);
  });
}
}  // namespace

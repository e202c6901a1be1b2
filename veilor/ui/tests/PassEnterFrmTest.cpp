// The password window with its real skin, typed into through the X server.
#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include "DialogDriver.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "WindowTesting.h"
#include "passwords/PasswordManager.h"
#include "settings/ProgramSettings.h"
#include "ui/ImageStore.h"
#include "ui/PassEditDlg.h"
#include "ui/PassEnterFrm.h"
#include "ui/PassManagerDlg.h"

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

// The browse button opens the password manager in select mode over the
// given store; a pick fills the field without ending the window.
class PassEnterFrmBrowseTest : public testing::Test {
protected:
  PassEnterFrmBrowseTest() {
    CImageStore::Instance();
    passwords_.StoreEntries(
        {CPasswordEntry("first secret", "", "One"), CPasswordEntry("second secret", "", "Two")});
  }

  int Run(DialogDriver& driver) {
    window_ = new CPassEnterFrm(nullptr, -1, false, "Please enter password for AES encryption",
                                VEILOR_SKIN, 220);
    window_->SetPasswordManager(&passwords_);
    window_->passwordEdit->ChangeValue("typed");
    const int result = window_->Run();
    EXPECT_TRUE(driver.Finished()) << "a window had to be ended by force";
    return result;
  }
  ~PassEnterFrmBrowseTest() override {
    if (window_) window_->Destroy();
  }

  TempDir dir_;
  CSettings settings_{dir_ / "veilor.ini"};
  CPasswordManager passwords_{settings_};
  CPassEnterFrm* window_ = nullptr;
};

TEST_F(PassEnterFrmBrowseTest, PickedPasswordFillsTheFieldAndTheWindowStaysOpen) {
  bool selectShown = false;
  bool stillOpen = false;
  wxString afterPick;
  DialogDriver driver;
  driver.On<CPassEnterFrm>([](CPassEnterFrm& w) { ClickLater(w.browseButton); })
      .On<CPassManagerDlg>([&](CPassManagerDlg& manager) {
        selectShown = manager.guiButtonSelect->IsShown();
        manager.passwordList->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        Click(manager.guiButtonSelect);
      })
      .On<CPassEnterFrm>([&](CPassEnterFrm& w) {
        stillOpen = w.IsRunningModal();
        afterPick = w.GetPassword();
        w.EndModal(CPassEnterFrm::Confirmed);
      });
  EXPECT_EQ(Run(driver), CPassEnterFrm::Confirmed);
  EXPECT_TRUE(selectShown);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(afterPick, "second secret");
  EXPECT_EQ(window_->passwordEdit->GetInsertionPoint(), 13);
}

TEST_F(PassEnterFrmBrowseTest, ClosingTheManagerLeavesTheFieldButKeepsItsChanges) {
  MessageBoxRecorder boxes(wxYES);
  wxString afterClose;
  DialogDriver driver;
  driver.On<CPassEnterFrm>([](CPassEnterFrm& w) { ClickLater(w.browseButton); })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) {
        Click(manager.guiButtonRemove);
        Click(manager.guiButtonClose);
      })
      .On<CPassEnterFrm>([&](CPassEnterFrm& w) {
        afterClose = w.GetPassword();
        w.EndModal(CPassEnterFrm::Cancelled);
      });
  EXPECT_EQ(Run(driver), CPassEnterFrm::Cancelled);
  EXPECT_EQ(afterClose, "typed");
  ASSERT_EQ(passwords_.LoadEntries().size(), 1u) << "the removal was not stored";
  EXPECT_EQ(passwords_.LoadEntries()[0].name, "Two");
}

// An entry too long to store is reported in a box; the password window
// stays usable and the stored list is untouched.
TEST_F(PassEnterFrmBrowseTest, ListThatCannotBeStoredIsReportedNotFatal) {
  MessageBoxRecorder boxes;
  bool stillOpen = false;
  DialogDriver driver;
  driver.On<CPassEnterFrm>([](CPassEnterFrm& w) { ClickLater(w.browseButton); })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { ClickLater(manager.guiButtonAdd); })
      .On<CPassEditDlg>([](CPassEditDlg& editor) {
        editor.guiEditPassword1->ChangeValue("x");
        editor.guiEditPassword2->ChangeValue("x");
        editor.guiEditPrompt->ChangeValue(wxString('p', 126));
        editor.guiEditName->ChangeValue("Long");
        Click(editor.guiButtonAdd);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { Click(manager.guiButtonSelect); })
      .On<CPassEnterFrm>([&](CPassEnterFrm& w) {
        stillOpen = w.IsRunningModal();
        w.EndModal(CPassEnterFrm::Cancelled);
      });
  Run(driver);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(window_->GetPassword(), "first secret") << "the pick counts, only storing failed";
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Error");
  EXPECT_EQ(boxes.Boxes()[0].text,
            "String is too long. Maximum lenght is 128 byte\r\nModule:Settings exception");
  EXPECT_EQ(passwords_.LoadEntries().size(), 2u);
}

}  // namespace

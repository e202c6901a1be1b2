// The password window with its real skin, typed into through the X server.
#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/DialogLook.h"
#include "6_ui/ImageStore.h"
#include "6_ui/PassEditDlg.h"
#include "6_ui/PassEnterFrm.h"
#include "6_ui/PassManagerDlg.h"
#include "DialogDriver.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "WindowTesting.h"
#include "XPDialogSeam.h"

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
      // Simulated keys go where the focus is: wait until the field has it.
      EXPECT_TRUE(SettleUntil([this] { return HasFocus(window_->passwordEdit); }))
          << "the password field never got the focus";
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

  // Types `text` into the focused field and waits until it is there.
  static void Type(CPassEnterFrm& w, const wxString& text) {
    wxUIActionSimulator().Text(text.utf8_str());
    EXPECT_TRUE(SettleUntil([&] { return w.GetPassword() == text; })) << text;
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
        Type(w, "abc");
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

// The skin is drawn for 96 DPI; on a denser screen the window and its
// controls grow with it (the Windows tests run this at 144 DPI too).
TEST_F(PassEnterFrmTest, ControlsSitWhereTheSkinExpectsThem) {
  // The checks run in the window's loop: the result says they ran.
  constexpr int kChecked = 7;
  const int result = Run([](CPassEnterFrm& w) {
    EXPECT_EQ(w.GetSize(), w.FromDIP(wxSize(340, 98)));
    EXPECT_EQ(w.closeButton->GetRect(), DipRect(w, wxRect(301, 7, 28, 19)));
    EXPECT_EQ(w.passwordEdit->GetPosition(), w.FromDIP(wxPoint(8, 38)));
    EXPECT_EQ(w.browseButton->GetPosition(), w.FromDIP(wxPoint(271, 38)));
    EXPECT_EQ(w.okButton->GetPosition(), w.FromDIP(wxPoint(301, 38)));
    EXPECT_EQ(w.closeButton->GetToolTipText(), "Close dialog");
    w.EndModal(kChecked);
  });
  EXPECT_EQ(result, kChecked);
}

// For encryption the password is typed twice in the same window, under a
// prompt that says so; a mismatch is refused and both entries start over.
TEST_F(PassEnterFrmTest, AskedTwiceAMismatchStartsOverAndAMatchConfirms) {
  MessageBoxRecorder boxes;
  std::vector<wxString> captions;
  std::vector<wxString> fields;
  // Each entry is typed once the field has the focus (a refusal hides and
  // shows the window) and is confirmed with Enter, which empties the field
  // unless it ends the window.
  auto enter = [](CPassEnterFrm& w, const char* text, bool last = false) {
    EXPECT_TRUE(SettleUntil([&] { return HasFocus(w.passwordEdit); })) << text;
    Type(w, text);
    wxUIActionSimulator().Char(WXK_RETURN);
    if (last) return;
    EXPECT_TRUE(SettleUntil([&] { return w.GetPassword().empty(); })) << "Enter after " << text;
  };
  const int result = Run([&](CPassEnterFrm& w) {
    w.SetAskTwice(true);
    enter(w, "first try");
    captions.push_back(XPDialogSeam::Caption(w));
    fields.push_back(w.GetPassword());
    enter(w, "first trz");
    captions.push_back(XPDialogSeam::Caption(w));
    fields.push_back(w.GetPassword());
    enter(w, "s3cret");
    enter(w, "s3cret", /*last=*/true);
  });
  EXPECT_EQ(result, CPassEnterFrm::Confirmed);
  EXPECT_EQ(window_->GetPassword(), "s3cret");
  EXPECT_EQ(captions, std::vector<wxString>({"Please enter the password again",
                                             "Please enter password for AES encryption"}));
  EXPECT_EQ(fields, std::vector<wxString>({"", ""}));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Entered passwords are different. Please try again.");
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
}

// Asking twice is for encryption, where an empty password would encrypt
// with a key anyone can make: it is refused with a message, the window stays.
TEST_F(PassEnterFrmTest, AskedTwiceAnEmptyPasswordIsRefused) {
  MessageBoxRecorder boxes;
  bool openAfterRefusal = false;
  wxString captionAfterRefusal;
  const int result = Run([&](CPassEnterFrm& w) {
    w.SetAskTwice(true);
    Click(w.okButton);
    openAfterRefusal = w.IsRunningModal();
    captionAfterRefusal = XPDialogSeam::Caption(w);
    for (int entry = 0; entry < 2; ++entry) {
      w.passwordEdit->ChangeValue("s3cret");
      Click(w.okButton);
    }
  });
  EXPECT_EQ(result, CPassEnterFrm::Confirmed);
  EXPECT_EQ(window_->GetPassword(), "s3cret");
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(captionAfterRefusal, "Please enter password for AES encryption");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Entered password is empty. Please enter valid password");
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
}

// While the prompt is up, the program's other windows take no clicks: a
// second "Show" there would stack a second prompt over the first.
TEST_F(PassEnterFrmTest, WindowBeneathTakesNoClicksWhileThePromptIsUp) {
  auto* beneath = new wxFrame(nullptr, wxID_ANY, "beneath", wxPoint(20, 20), wxSize(220, 120));
  auto* button = new wxButton(beneath, wxID_ANY, "Show", wxPoint(10, 10), wxSize(100, 40));
  int clicks = 0;
  button->Bind(wxEVT_BUTTON, [&clicks](wxCommandEvent&) { ++clicks; });
  beneath->Show();
  const wxPoint onButton = button->GetScreenRect().GetPosition() + wxPoint(50, 20);
  ASSERT_TRUE(MovePointerOnto(button, onButton)) << "the frame beneath never came up";
  auto clickButton = [onButton] {
    wxUIActionSimulator mouse;
    mouse.MouseMove(onButton);
    mouse.MouseClick();
  };
  bool enabledDuring = true;
  int clicksDuring = -1;
  Run([&](CPassEnterFrm& w) {
    enabledDuring = beneath->IsEnabled();
    clickButton();
    clickButton();
    // The clicks are handled before a key typed after them: once the key is
    // in the field, every click has had its chance.
    Type(w, "k");
    clicksDuring = clicks;
    w.EndModal(CPassEnterFrm::Cancelled);
  });
  EXPECT_FALSE(enabledDuring);
  EXPECT_EQ(clicksDuring, 0);
  EXPECT_TRUE(beneath->IsEnabled());
#ifndef __WXMSW__  // Wine's simulated mouse does not reach the frame again here
  clickButton();
  EXPECT_TRUE(SettleUntil([&] { return clicks == 1; }))
      << "the click itself reaches the button once the prompt is gone";
#endif
  beneath->Destroy();
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

// A password picked from the stored list is asked once even for encryption.
TEST_F(PassEnterFrmBrowseTest, PickedPasswordIsNotAskedTwice) {
  DialogDriver driver;
  driver
      .On<CPassEnterFrm>([](CPassEnterFrm& w) {
        w.SetAskTwice(true);
        ClickLater(w.browseButton);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) {
        manager.passwordList->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        Click(manager.guiButtonSelect);
      })
      .On<CPassEnterFrm>([](CPassEnterFrm& w) { Click(w.okButton); });
  EXPECT_EQ(Run(driver), CPassEnterFrm::Confirmed);
  EXPECT_EQ(window_->GetPassword(), "first secret");
}

// A prompt too long to store is refused in the add window, so the list the
// password window's manager stores is never lost; the window stays usable.
TEST_F(PassEnterFrmBrowseTest, ValueTooLongToStoreIsRefusedWhereItIsTyped) {
  MessageBoxRecorder boxes;
  bool stillOpen = false;
  bool editorOpenAfterRefusal = false;
  DialogDriver driver;
  driver.On<CPassEnterFrm>([](CPassEnterFrm& w) { ClickLater(w.browseButton); })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { ClickLater(manager.guiButtonAdd); })
      .On<CPassEditDlg>([&](CPassEditDlg& editor) {
        editor.guiEditPassword1->ChangeValue("x");
        editor.guiEditPassword2->ChangeValue("x");
        editor.guiEditPrompt->ChangeValue(wxString('p', 126));
        editor.guiEditName->ChangeValue("Long");
        Click(editor.guiButtonAdd);
        editorOpenAfterRefusal = editor.IsModal();
        editor.guiEditPrompt->ChangeValue(wxString('p', 125));
        Click(editor.guiButtonAdd);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { Click(manager.guiButtonSelect); })
      .On<CPassEnterFrm>([&](CPassEnterFrm& w) {
        stillOpen = w.IsRunningModal();
        w.EndModal(CPassEnterFrm::Cancelled);
      });
  Run(driver);
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(editorOpenAfterRefusal);
  EXPECT_EQ(window_->GetPassword(), "first secret");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
  EXPECT_EQ(boxes.Boxes()[0].text,
            "The password prompt is too long to be stored. Maximum length is 125 characters.");
  ASSERT_EQ(passwords_.LoadEntries().size(), 3u) << "the accepted entry was stored";
  EXPECT_EQ(passwords_.LoadEntries()[2].prompt, wxString('p', 125));
}

}  // namespace

// The add/edit password dialog, run modally and driven from inside its loop.
#include <tuple>

#include <gtest/gtest.h>
#include <wx/sizer.h>

#include "6_ui/ImageStore.h"
#include "6_ui/PassEditDlg.h"
#include "DialogDriver.h"
#include "MessageBoxRecorder.h"
#include "WindowTesting.h"

namespace {

void Fill(CPassEditDlg& dialog, const wxString& password1, const wxString& password2,
          const wxString& prompt, const wxString& name) {
  dialog.guiEditPassword1->ChangeValue(password1);
  dialog.guiEditPassword2->ChangeValue(password2);
  dialog.guiEditPrompt->ChangeValue(prompt);
  dialog.guiEditName->ChangeValue(name);
}

class PassEditDlgTest : public testing::Test {
protected:
  PassEditDlgTest() { CImageStore::Instance(); }

  // Runs a fresh dialog; `action` acts on it from inside its modal loop.
  int Run(std::function<void(CPassEditDlg&)> action) {
    CPassEditDlg dialog(nullptr, -1, "Add password");
    DialogDriver driver;
    driver.On<CPassEditDlg>(std::move(action));
    const int result = dialog.Run();
    EXPECT_TRUE(driver.Finished()) << "the dialog had to be ended by force";
    return result;
  }
};

// Each refusal names the first thing wrong and keeps the dialog open with
// the fields as typed; a missing prompt is only pointed out.
TEST_F(PassEditDlgTest, ValidationRefusesInOrderAndAcceptsWithoutPrompt) {
  MessageBoxRecorder boxes;
  std::vector<bool> openAfter;
  wxString nameAfterRefusal;
  const int result = Run([&](CPassEditDlg& dialog) {
    Fill(dialog, "", "", "", "");
    Click(dialog.guiButtonAdd);
    openAfter.push_back(dialog.IsModal());
    // Differing passwords win over an empty name and prompt.
    Fill(dialog, "secret1", "secret2", "", "Work");
    Click(dialog.guiButtonAdd);
    openAfter.push_back(dialog.IsModal());
    Fill(dialog, "secret", "secret", "", "");
    Click(dialog.guiButtonAdd);
    openAfter.push_back(dialog.IsModal());
    nameAfterRefusal = dialog.guiEditPassword1->GetValue();
    Fill(dialog, "secret", "secret", "", "Work");
    Click(dialog.guiButtonAdd);
  });
  EXPECT_EQ(result, CPassEditDlg::Accepted);
  EXPECT_EQ(openAfter, std::vector<bool>({true, true, true}));
  EXPECT_EQ(nameAfterRefusal, "secret");
  ASSERT_EQ(boxes.Boxes().size(), 4u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Empty password");
  EXPECT_EQ(boxes.Boxes()[1].text, "Entered passwords are different. Please try again.");
  EXPECT_EQ(boxes.Boxes()[2].text, "Passwords name is not entered.");
  EXPECT_EQ(boxes.Boxes()[3].text, "Prompt for this password in not entered.");
  for (const auto& box : boxes.Boxes()) {
    EXPECT_EQ(box.title, "Veilor Warning");
    EXPECT_TRUE(box.style & wxICON_WARNING);
    EXPECT_TRUE(box.style & wxOK);
  }
}

// A value the stored list cannot hold is refused here, naming its field, so
// that an accepted entry is always stored; 125 characters still fit.
TEST_F(PassEditDlgTest, ValuesTooLongToStoreAreRefusedByField) {
  MessageBoxRecorder boxes;
  const wxString over(wxUniChar('x'), 126);
  const wxString fits(wxUniChar('x'), 125);
  std::vector<bool> openAfter;
  const int result = Run([&](CPassEditDlg& dialog) {
    for (const auto& [password, prompt, name] :
         {std::tuple{over, fits, fits}, std::tuple{fits, over, fits},
          std::tuple{fits, fits, over}}) {
      Fill(dialog, password, password, prompt, name);
      Click(dialog.guiButtonAdd);
      openAfter.push_back(dialog.IsModal());
    }
    Fill(dialog, fits, fits, fits, fits);
    Click(dialog.guiButtonAdd);
  });
  EXPECT_EQ(result, CPassEditDlg::Accepted);
  EXPECT_EQ(openAfter, std::vector<bool>({true, true, true}));
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            "The password is too long to be stored. Maximum length is 125 characters.");
  EXPECT_EQ(boxes.Boxes()[1].text,
            "The password prompt is too long to be stored. Maximum length is 125 characters.");
  EXPECT_EQ(boxes.Boxes()[2].text,
            "The password name is too long to be stored. Maximum length is 125 characters.");
}

TEST_F(PassEditDlgTest, CloseButtonAndCloseBoxGiveZeroAfterARefusal) {
  MessageBoxRecorder boxes;
  EXPECT_EQ(Run([](CPassEditDlg& dialog) {
              Fill(dialog, "a", "b", "", "");
              Click(dialog.guiButtonAdd);
              dialog.Close();
            }),
            CPassEditDlg::Closed);
  EXPECT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(Run([](CPassEditDlg& dialog) {
              Fill(dialog, "a", "a", "p", "n");
              Click(dialog.guiButtonClose);
            }),
            CPassEditDlg::Closed);
  EXPECT_EQ(boxes.Boxes().size(), 1u) << "closing validates nothing";
}

TEST_F(PassEditDlgTest, LayoutFitsItsFixedSizeWithFocusOnThePassword) {
  int focusId = wxID_NONE;
  Run([&](CPassEditDlg& dialog) {
    // The focus arrives once the dialog is up; a wrong one is seen at the limit.
    SettleUntil([&] { return HasFocus(dialog.guiEditPassword1); });
    if (wxWindow* focus = wxWindow::FindFocus()) focusId = focus->GetId();
    // The fixed size, grown only where this platform's controls need it.
    EXPECT_GE(dialog.GetSize().x, 425);
    EXPECT_GE(dialog.GetSize().y, 299);
    EXPECT_EQ(dialog.GetMinSize(), dialog.GetMaxSize()) << "the user could resize it";
    const wxSize needed = dialog.GetSizer()->GetMinSize();
    const wxSize client = dialog.GetClientSize();
    EXPECT_LE(needed.x, client.x);
    EXPECT_LE(needed.y, client.y);
    for (wxStaticText* label : {dialog.guiStaticPassword1, dialog.guiStaticPassword2,
                                dialog.guiStaticTip, dialog.guiStaticPassName}) {
      EXPECT_GE(label->GetSize().x, label->GetBestSize().x) << label->GetLabel();
    }
    EXPECT_TRUE(dialog.guiEditPassword1->HasFlag(wxTE_PASSWORD));
    EXPECT_TRUE(dialog.guiEditPassword2->HasFlag(wxTE_PASSWORD));
    EXPECT_FALSE(dialog.guiEditName->HasFlag(wxTE_PASSWORD));
    EXPECT_EQ(dialog.guiEditName->GetId(), 1050);
    EXPECT_EQ(dialog.guiButtonAdd->GetId(), 1047);
    Click(dialog.guiButtonClose);
  });
  EXPECT_EQ(focusId, CPassEditDlg::ID_EDIT_PASSWORD1);
}

}  // namespace

// The password manager dialog over a real settings store, run modally and
// driven from inside its loop, with the add/edit dialog and the
// administrator's password window it opens.
#include <functional>
#include <optional>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/sizer.h>

#include "1_base/Exceptions.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/ImageStore.h"
#include "6_ui/PassEditDlg.h"
#include "6_ui/PassEnterFrm.h"
#include "6_ui/PassManagerDlg.h"
#include "6_ui/PasswordChangedEvent.h"
#include "DialogDriver.h"
#include "MessageBoxRecorder.h"
#include "PassManagerDlgSeam.h"
#include "TempDir.h"
#include "WindowTesting.h"

namespace {

// Stands in for the settings dialog: keeps every change it is told about.
class ChangeListener : public wxFrame {
public:
  ChangeListener() : wxFrame(nullptr, -1, "listener") {
    Bind(EVT_PASSWORD_CHANGED, [this](wxCommandEvent& event) {
      const CPasswordChanger& changer = PasswordChangerOf(event);
      changes.emplace_back(changer.oldEntry, changer.newEntry, changer.action);
    });
  }
  std::vector<CPasswordChanger> changes;
};

wxArrayString StoredGroup(CSettings& settings, int group) {
  wxArrayString values;
  settings.GetDynamicGroup(group, values);
  return values;
}

class PassManagerDlgTest : public testing::Test {
protected:
  PassManagerDlgTest() {
    CImageStore::Instance();
    passwords_.StoreEntries({CPasswordEntry("alpha pass", "first", "Alpha"),
                             CPasswordEntry("beta pass", "", "Beta"),
                             CPasswordEntry("gamma pass", "third", "Gamma")});
  }
  ~PassManagerDlgTest() override { listener_->Destroy(); }

  // Runs a dialog with the listener as parent; returns its result. The
  // dialog is kept for inspection until the next run.
  int Run(bool selectMode, const wxString& preselect, DialogDriver& driver) {
    dialog_.emplace(listener_, -1, "Password manager", selectMode, passwords_);
    const int result = dialog_->Run(preselect);
    EXPECT_TRUE(driver.Finished()) << "the dialog had to be ended by force";
    return result;
  }

  // Runs a select-mode dialog that notes the row selected at opening and
  // ends with `end`; returns the dialog's result.
  int RunNotingSelection(const wxString& preselect, long& selected,
                         std::function<void(CPassManagerDlg&)> end) {
    DialogDriver driver;
    driver.On<CPassManagerDlg>([&](CPassManagerDlg& d) {
      selected = d.SelectedRow();
      end(d);
    });
    return Run(true, preselect, driver);
  }

  // Removes the row selected at opening (the question answered by the
  // caller's recorder) and closes; returns the row selected after removal.
  long RemoveSelected(const wxString& preselect) {
    long selected = -2;
    DialogDriver driver;
    driver.On<CPassManagerDlg>([&](CPassManagerDlg& d) {
      Click(d.guiButtonRemove);
      selected = d.SelectedRow();
      Click(d.guiButtonClose);
    });
    Run(false, preselect, driver);
    return selected;
  }

  std::vector<wxString> Rows() const {
    std::vector<wxString> rows;
    for (long row = 0; row < dialog_->passwordList->GetItemCount(); ++row) {
      rows.push_back(dialog_->passwordList->GetItemText(row));
    }
    return rows;
  }

  TempDir dir_;
  CSettings settings_{dir_ / "veilor.ini"};
  CPasswordManager passwords_{settings_};
  ChangeListener* listener_ = new ChangeListener;
  std::optional<CPassManagerDlg> dialog_;
};

using Names = std::vector<wxString>;

TEST_F(PassManagerDlgTest, ListsTheStoredNamesAndPreselects) {
  long selected = -2;
  EXPECT_EQ(
      RunNotingSelection("Gamma", selected, [](CPassManagerDlg& d) { Click(d.guiButtonClose); }),
      CPassManagerDlg::Closed);
  EXPECT_EQ(Rows(), Names({"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(dialog_->PasswordAt(1), "beta pass");
  EXPECT_EQ(dialog_->PasswordAt(3), "");
  EXPECT_EQ(dialog_->PasswordAt(-1), "");

  EXPECT_EQ(RunNotingSelection("gamma", selected, [](CPassManagerDlg& d) { d.Close(); }),
            CPassManagerDlg::Closed)
      << "names match case-sensitively";
  EXPECT_EQ(selected, -1);

  EXPECT_EQ(RunNotingSelection("", selected, [](CPassManagerDlg& d) { Click(d.guiButtonSelect); }),
            CPassManagerDlg::Picked);
  EXPECT_EQ(selected, 0);
}

TEST_F(PassManagerDlgTest, SelectButtonOnlyInSelectModeAndActivationPicksInBoth) {
  for (bool selectMode : {false, true}) {
    bool selectShown = !selectMode;
    DialogDriver driver;
    driver.On<CPassManagerDlg>([&](CPassManagerDlg& d) {
      selectShown = d.guiButtonSelect->IsShown();
      wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, d.passwordList->GetId());
      activated.SetEventObject(d.passwordList);
      d.passwordList->GetEventHandler()->ProcessEvent(activated);
    });
    EXPECT_EQ(Run(selectMode, "", driver), CPassManagerDlg::Picked);
    EXPECT_EQ(selectShown, selectMode);
  }
}

TEST_F(PassManagerDlgTest, AddAppendsWithoutNotifyingEvenForADuplicateName) {
  MessageBoxRecorder boxes;
  DialogDriver driver;
  wxString caption, acceptLabel;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) { ClickLater(d.guiButtonAdd); })
      .On<CPassEditDlg>([&](CPassEditDlg& editor) {
        caption = editor.GetTitle();
        acceptLabel = editor.guiButtonAdd->GetLabel();
        editor.guiEditPassword1->ChangeValue("new pass");
        editor.guiEditPassword2->ChangeValue("new pass");
        editor.guiEditPrompt->ChangeValue("hint");
        editor.guiEditName->ChangeValue("Beta");
        Click(editor.guiButtonAdd);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) { Click(d.guiButtonClose); });
  Run(false, "Alpha", driver);
  EXPECT_EQ(caption, "Add password");
  EXPECT_EQ(acceptLabel, "Add");
  EXPECT_EQ(Rows(), Names({"Alpha", "Beta", "Gamma", "Beta"}));
  EXPECT_EQ(dialog_->SelectedRow(), 0) << "adding keeps the selection";
  EXPECT_EQ(PassManagerDlgSeam::Entries(*dialog_).back(),
            CPasswordEntry("new pass", "hint", "Beta"));
  EXPECT_TRUE(listener_->changes.empty());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(passwords_.LoadEntries().size(), 3u) << "nothing is stored before StoreEntries";
  dialog_->StoreEntries();
  EXPECT_EQ(passwords_.LoadEntries(), PassManagerDlgSeam::Entries(*dialog_));
}

TEST_F(PassManagerDlgTest, EditReplacesInPlaceAndNotifiesEvenWithoutChange) {
  DialogDriver driver;
  wxString caption, acceptLabel, shownPassword, shownConfirmation;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) { ClickLater(d.guiButtonEdit); })
      .On<CPassEditDlg>([&](CPassEditDlg& editor) {
        caption = editor.GetTitle();
        acceptLabel = editor.guiButtonAdd->GetLabel();
        shownPassword = editor.guiEditPassword1->GetValue();
        shownConfirmation = editor.guiEditPassword2->GetValue();
        editor.guiEditPassword1->ChangeValue("b2");
        editor.guiEditPassword2->ChangeValue("b2");
        editor.guiEditName->ChangeValue("Bravo");
        Click(editor.guiButtonAdd);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) { ClickLater(d.guiButtonEdit); })
      .On<CPassEditDlg>([](CPassEditDlg& editor) { Click(editor.guiButtonAdd); })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) { Click(d.guiButtonClose); });
  MessageBoxRecorder boxes;
  Run(false, "Beta", driver);
  EXPECT_EQ(caption, "Edit password");
  EXPECT_EQ(acceptLabel, "Set");
  EXPECT_EQ(shownPassword, "beta pass");
  EXPECT_EQ(shownConfirmation, "beta pass");
  EXPECT_EQ(Rows(), Names({"Alpha", "Bravo", "Gamma"}));
  EXPECT_EQ(PassManagerDlgSeam::Entries(*dialog_)[1], CPasswordEntry("b2", "", "Bravo"));
  ASSERT_EQ(listener_->changes.size(), 2u);
  EXPECT_EQ(listener_->changes[0].action, CPasswordChanger::Edited);
  EXPECT_EQ(listener_->changes[0].oldEntry, CPasswordEntry("beta pass", "", "Beta"));
  EXPECT_EQ(listener_->changes[0].newEntry, CPasswordEntry("b2", "", "Bravo"));
  EXPECT_EQ(listener_->changes[1].oldEntry, listener_->changes[1].newEntry);
  // The unchanged second edit still warns about the missing prompt.
  EXPECT_EQ(boxes.Boxes().size(), 2u);
}

TEST_F(PassManagerDlgTest, EditRemoveAndShowWithoutSelectionOnlyWarn) {
  MessageBoxRecorder boxes(wxYES);
  DialogDriver driver;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) {
    Click(d.guiButtonEdit);
    Click(d.guiButtonRemove);
    Click(d.guiButtonShow);
    Click(d.guiButtonClose);
  });
  Run(false, "nobody", driver);
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  for (const auto& box : boxes.Boxes()) {
    EXPECT_EQ(box.text, "Password not selected");
    EXPECT_EQ(box.title, "Veilor Warning");
  }
  EXPECT_EQ(Rows(), Names({"Alpha", "Beta", "Gamma"}));
  EXPECT_TRUE(listener_->changes.empty());
}

TEST_F(PassManagerDlgTest, RemovingTheFirstSelectsTheNewFirstAndNotifies) {
  MessageBoxRecorder boxes(wxYES);
  EXPECT_EQ(RemoveSelected("Alpha"), 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Are you sure want to remove the password?");
  EXPECT_EQ(boxes.Boxes()[0].title, "Question");
  EXPECT_TRUE(boxes.Boxes()[0].style & wxYES_NO);
  EXPECT_EQ(Rows(), Names({"Beta", "Gamma"}));
  ASSERT_EQ(listener_->changes.size(), 1u);
  EXPECT_EQ(listener_->changes[0].action, CPasswordChanger::Removed);
  EXPECT_EQ(listener_->changes[0].oldEntry.name, "Alpha");
  EXPECT_EQ(listener_->changes[0].newEntry, CPasswordEntry("beta pass", "", "Beta"));

  // A later row: the row above it takes the selection.
  EXPECT_EQ(RemoveSelected("Gamma"), 1);
  EXPECT_EQ(listener_->changes.back().newEntry.name, "Beta");
}

TEST_F(PassManagerDlgTest, RemovingTheOnlyEntryLeavesNothingSelected) {
  passwords_.StoreEntries({CPasswordEntry("solo pass", "", "Solo")});
  MessageBoxRecorder boxes(wxYES);
  EXPECT_EQ(RemoveSelected(""), -1);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(boxes.Boxes().size(), 1u) << "only the question, no warning";
  ASSERT_EQ(listener_->changes.size(), 1u);
  EXPECT_EQ(listener_->changes[0].oldEntry.name, "Solo");
  EXPECT_EQ(listener_->changes[0].newEntry, CPasswordEntry());
  dialog_->StoreEntries();
  EXPECT_TRUE(passwords_.LoadEntries().empty());
}

TEST_F(PassManagerDlgTest, AnswerOtherThanYesKeepsTheEntry) {
  MessageBoxRecorder boxes(wxNO);
  DialogDriver driver;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) {
    Click(d.guiButtonRemove);
    Click(d.guiButtonClose);
  });
  Run(false, "Beta", driver);
  EXPECT_EQ(Rows(), Names({"Alpha", "Beta", "Gamma"}));
  EXPECT_TRUE(listener_->changes.empty());
}

// "Show" asks for the administrator password every time, in the real
// password window: empty on a fresh installation, refused on a mismatch.
TEST_F(PassManagerDlgTest, ShowRevealsOnlyAfterTheAdministratorCheck) {
  MessageBoxRecorder boxes;
  bool browseShown = true;
  DialogDriver driver;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) { ClickLater(d.guiButtonShow); })
      .On<CPassEnterFrm>([&](CPassEnterFrm& prompt) {
        browseShown = prompt.browseButton->IsShown();
        prompt.EndModal(CPassEnterFrm::Confirmed);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) {
        d.passwordList->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        ClickLater(d.guiButtonShow);
      })
      .On<CPassEnterFrm>([](CPassEnterFrm& prompt) {
        prompt.passwordEdit->ChangeValue("guess");
        prompt.EndModal(CPassEnterFrm::Confirmed);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) { ClickLater(d.guiButtonShow); })
      .On<CPassEnterFrm>([](CPassEnterFrm& prompt) { prompt.EndModal(CPassEnterFrm::Cancelled); })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) { Click(d.guiButtonClose); });
  Run(false, "Beta", driver);
  EXPECT_FALSE(browseShown);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Password: 'beta pass'");
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Information");
  EXPECT_TRUE(boxes.Boxes()[0].style & wxICON_INFORMATION);
  EXPECT_EQ(boxes.Boxes()[1].text, "Entered administrator password is invalid. Please try again.");
}

// Lists out of step (two sessions once saved over each other) or a damaged
// value: the manager shows what pairs, says what it left out, and storing
// the list puts the file back in step.
TEST_F(PassManagerDlgTest, ListsOutOfStepOpenWithWhatPairsAndStoringRepairs) {
  wxArrayString prompts = StoredGroup(settings_, CSettings::GroupPPrompts);
  prompts.RemoveAt(2);
  settings_.SetDynamicGroup(CSettings::GroupPPrompts, prompts);
  wxArrayString names = StoredGroup(settings_, CSettings::GroupPNames);
  names[0] = "0123456789";  // damaged
  settings_.SetDynamicGroup(CSettings::GroupPNames, names);

  MessageBoxRecorder boxes;
  DialogDriver driver;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) { Click(d.guiButtonClose); });
  Run(false, "", driver);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_NE(boxes.Boxes()[0].text.Find("2 stored entries can't be read or paired"), wxNOT_FOUND)
      << boxes.Boxes()[0].text;
  EXPECT_EQ(PassManagerDlgSeam::Entries(*dialog_),
            std::vector<CPasswordEntry>{CPasswordEntry("beta pass", "", "Beta")});

  dialog_->StoreEntries();
  for (const int group :
       {CSettings::GroupPList, CSettings::GroupPPrompts, CSettings::GroupPNames}) {
    EXPECT_EQ(StoredGroup(settings_, group).size(), 1u) << group;
  }
}

// A name one character longer than the store takes is refused in the add
// window; what the manager accepted is then always stored.
TEST_F(PassManagerDlgTest, TooLongNameIsRefusedAndTheSessionIsStored) {
  MessageBoxRecorder boxes;
  DialogDriver driver;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) { ClickLater(d.guiButtonAdd); })
      .On<CPassEditDlg>([](CPassEditDlg& editor) {
        editor.guiEditPassword1->ChangeValue("x");
        editor.guiEditPassword2->ChangeValue("x");
        editor.guiEditPrompt->ChangeValue("p");
        editor.guiEditName->ChangeValue(wxString('n', 126));
        Click(editor.guiButtonAdd);
        editor.guiEditName->ChangeValue(wxString('n', 125));
        Click(editor.guiButtonAdd);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& d) { Click(d.guiButtonClose); });
  Run(false, "", driver);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            "The password name is too long to be stored. Maximum length is 125 characters.");
  ASSERT_EQ(PassManagerDlgSeam::Entries(*dialog_).size(), 4u);
  EXPECT_NO_THROW(dialog_->StoreEntries());
  EXPECT_EQ(passwords_.LoadEntries().back().name, wxString('n', 125));
}

// Names change only through "Edit": the list offers no editing in place, and
// what a caller reads for a row is the entry's stored name.
TEST_F(PassManagerDlgTest, NamesAreNotEditableInPlace) {
  DialogDriver driver;
  bool editable = true;
  wxString name;
  driver.On<CPassManagerDlg>([&](CPassManagerDlg& d) {
    editable = d.passwordList->HasFlag(wxLC_EDIT_LABELS);
    d.passwordList->SetItemText(1, "Relabelled");
    name = d.NameAt(1);
    Click(d.guiButtonClose);
  });
  Run(false, "", driver);
  EXPECT_FALSE(editable);
  EXPECT_EQ(name, passwords_.LoadEntries()[1].name);
}

TEST_F(PassManagerDlgTest, LayoutFitsItsFixedSize) {
  DialogDriver driver;
  driver.On<CPassManagerDlg>([](CPassManagerDlg& d) {
    EXPECT_GE(d.GetSize().x, 483);
    EXPECT_GE(d.GetSize().y, 397);
    EXPECT_EQ(d.GetMinSize(), d.GetMaxSize()) << "the user could resize it";
    const wxSize needed = d.GetSizer()->GetMinSize();
    EXPECT_LE(needed.x, d.GetClientSize().x);
    EXPECT_LE(needed.y, d.GetClientSize().y);
    EXPECT_GE(d.passwordList->GetClientSize().x, 438) << "the name column is cut off";
    for (wxButton* button : {d.guiButtonAdd, d.guiButtonEdit, d.guiButtonRemove, d.guiButtonShow,
                             d.guiButtonSelect, d.guiButtonClose}) {
      EXPECT_GE(button->GetSize().x, button->GetBestSize().x) << button->GetLabel();
    }
    Click(d.guiButtonClose);
  });
  Run(true, "", driver);
}

}  // namespace

// The settings dialog over a real settings store, behind the real
// administrator prompt, with the password manager it opens.
#include <vector>

#include <gtest/gtest.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "1_base/Exceptions.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/ImageStore.h"
#include "6_ui/PassEditDlg.h"
#include "6_ui/PassEnterFrm.h"
#include "6_ui/PassManagerDlg.h"
#include "6_ui/SettingsDlg.h"
#include "DialogDriver.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

namespace {

// A click on a check box, as the user makes it.
void Toggle(wxCheckBox* box, bool value) {
  box->SetValue(value);
  wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
  click.SetEventObject(box);
  click.SetInt(value ? 1 : 0);
  box->GetEventHandler()->ProcessEvent(click);
}

void AnswerPrompt(DialogDriver& driver, const wxString& password) {
  driver.On<CPassEnterFrm>([password](CPassEnterFrm& prompt) {
    prompt.passwordEdit->ChangeValue(password);
    prompt.EndModal(CPassEnterFrm::Confirmed);
  });
}

// Every shown control below `parent` lies inside its parent's client area and
// overlaps none of its siblings, and every label is as large as its text.
void ExpectInsideAndApart(wxWindow& parent) {
  std::vector<wxWindow*> shown;
  for (wxWindow* child : parent.GetChildren()) {
    if (!child->IsTopLevel() && child->IsShown()) shown.push_back(child);
  }
  const wxRect client(parent.GetClientSize());
  for (size_t i = 0; i < shown.size(); ++i) {
    const wxRect rect = shown[i]->GetRect();
    const wxString name = shown[i]->GetLabel();
    EXPECT_TRUE(client.Contains(rect)) << name << " sticks out of " << parent.GetLabel();
    for (size_t j = i + 1; j < shown.size(); ++j) {
      EXPECT_FALSE(rect.Intersects(shown[j]->GetRect())) << name << " / " << shown[j]->GetLabel();
    }
    if (dynamic_cast<wxCheckBox*>(shown[i]) || dynamic_cast<wxStaticText*>(shown[i])) {
      EXPECT_GE(rect.width, shown[i]->GetBestSize().x) << name << " is cut off";
      EXPECT_GE(rect.height, shown[i]->GetBestSize().y) << name << " is cut off";
    }
    ExpectInsideAndApart(*shown[i]);
  }
}

class SettingsDlgTest : public testing::Test {
protected:
  SettingsDlgTest() {
    CImageStore::Instance();
    passwords_.StoreEntries(
        {CPasswordEntry("work pass", "", "Work"), CPasswordEntry("other pass", "", "Other")});
  }

  void SetDefaults(const wxString& encName, bool useEnc, const wxString& decName, bool useDec) {
    settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                        ProtectString(encName, CSettings::FillerDefEncPass));
    settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefDecPass,
                        ProtectString(decName, CSettings::FillerDefDecPass));
    settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, useEnc);
    settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefDecPass, useDec);
  }

  bool Bool(int group, int item) {
    bool value = false;
    settings_.GetBool(group, item, value);
    return value;
  }
  bool Switch(int item) { return Bool(CSettings::GroupSettingsDlg, item); }
  wxString Name(int item) {
    wxString value;
    settings_.GetString(CSettings::GroupSettingsDlg, item, value);
    return UnprotectString(value);
  }

  // Runs a fresh dialog as the "settings" verb does, without the store step.
  int Run(DialogDriver& driver) {
    dialog_ = std::make_unique<CSettingsDlg>(nullptr, -1, "Ordal Veilor's Settings", settings_,
                                             passwords_);
    const int result = dialog_->Run();
    EXPECT_TRUE(driver.Finished()) << "a window had to be ended by force";
    return result;
  }

  TempDir dir_;
  CSettings settings_{dir_ / "veilor.ini"};
  CPasswordManager passwords_{settings_};
  std::unique_ptr<CSettingsDlg> dialog_;
};

TEST_F(SettingsDlgTest, ControlsAreFilledAndEnabledFromTheSettings) {
  SetDefaults("Work", false, "Other", true);
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                      ProtectString("guard", CSettings::FillerAdminPassword));
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
  settings_.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, true);
  CSettingsDlg dialog(nullptr, -1, "Ordal Veilor's Settings", settings_, passwords_);
  EXPECT_EQ(dialog.guiEditDefEncPass->GetValue(), "Work");
  EXPECT_EQ(dialog.guiEditDefDecPass->GetValue(), "Other");
  EXPECT_EQ(dialog.guiEditAdmPass->GetValue(), "guard");
  EXPECT_EQ(dialog.guiEditConfirmAdmPass->GetValue(), "guard");
  EXPECT_TRUE(dialog.guiEditAdmPass->HasFlag(wxTE_PASSWORD));
  EXPECT_FALSE(dialog.guiCheckUseDefEncPass->GetValue());
  EXPECT_TRUE(dialog.guiCheckUseDefDecPass->GetValue());
  EXPECT_TRUE(dialog.guiCheckRemoveFilesAfterEnc->GetValue()) << "first-start default";
  EXPECT_FALSE(dialog.guiCheckOverwriteFiles->GetValue());
  EXPECT_TRUE(dialog.guiCheckHideReportDlg->GetValue());
  EXPECT_TRUE(dialog.guiCheckEnableLogging->GetValue());
  // Without a default the stored passwords may be offered instead.
  EXPECT_FALSE(dialog.guiButtonDefEncPassSelect->IsEnabled());
  EXPECT_TRUE(dialog.guiCheckChooseEncPass->IsEnabled());
  EXPECT_TRUE(dialog.guiButtonDefDecPassSelect->IsEnabled());
  EXPECT_FALSE(dialog.guiCheckChooseDecPass->IsEnabled());
  EXPECT_TRUE(dialog.guiEditDefEncPass->IsEnabled());
  EXPECT_EQ(dialog.guiCheckChooseEncPass->GetLabel(),
            "Choose encryption password from Password Manager");
  EXPECT_EQ(dialog.guiCheckEnableLogging->GetId(), 1030);
}

// The administrator check runs in the real password window before the
// dialog shows: a mismatch is refused once with its message, a cancel
// silently; either way the dialog never appears.
TEST_F(SettingsDlgTest, AdministratorCheckGuardsTheDialog) {
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword,
                      ProtectString("guard", CSettings::FillerAdminPassword));
  MessageBoxRecorder boxes;
  bool shown = false;
  DialogDriver mismatch;
  AnswerPrompt(mismatch, "Guard");
  EXPECT_EQ(Run(mismatch), CSettingsDlg::Refused);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Entered administrator password is invalid. Please try again.");
  EXPECT_EQ(boxes.Boxes()[0].title, "Veilor Warning");
  EXPECT_FALSE(dialog_->IsShown());

  DialogDriver cancel;
  cancel.On<CPassEnterFrm>([](CPassEnterFrm& p) { p.EndModal(CPassEnterFrm::Cancelled); });
  EXPECT_EQ(Run(cancel), CSettingsDlg::Refused);
  EXPECT_EQ(boxes.Boxes().size(), 1u);

  DialogDriver match;
  AnswerPrompt(match, "guard");
  match.On<CSettingsDlg>([&](CSettingsDlg& d) {
    shown = true;
    Click(d.guiButtonOK);
  });
  EXPECT_EQ(Run(match), CSettingsDlg::ClosedWithOk);
  EXPECT_TRUE(shown);
}

// The "use default" box is stored at once, before the administrator fields
// agree; every way of closing waits until they do.
TEST_F(SettingsDlgTest, UseDefaultIsStoredAtOnceAndClosingWaitsForMatchingFields) {
  MessageBoxRecorder boxes;
  bool openAfterOk = false, openAfterCloseBox = false, storedAtOnce = false;
  bool selectEnabled = false, chooseEnabled = true;
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([&](CSettingsDlg& d) {
    Toggle(d.guiCheckUseDefEncPass, true);
    storedAtOnce = Switch(CSettings::ItemUseDefEncPass);
    selectEnabled = d.guiButtonDefEncPassSelect->IsEnabled();
    chooseEnabled = d.guiCheckChooseEncPass->IsEnabled();
    d.guiEditAdmPass->ChangeValue("new guard");
    d.guiEditConfirmAdmPass->ChangeValue("new guarb");
    Click(d.guiButtonOK);
    openAfterOk = d.IsModal();
    d.Close();
    openAfterCloseBox = d.IsModal();
    d.guiEditConfirmAdmPass->ChangeValue("new guard");
    Click(d.guiButtonClose);
  });
  EXPECT_EQ(Run(driver), CSettingsDlg::Closed);
  EXPECT_TRUE(storedAtOnce);
  EXPECT_TRUE(selectEnabled);
  EXPECT_FALSE(chooseEnabled);
  EXPECT_TRUE(openAfterOk);
  EXPECT_TRUE(openAfterCloseBox);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  for (const auto& box : boxes.Boxes()) {
    EXPECT_EQ(box.text, "Entered administrator passwords are different. Please try again.");
  }
  dialog_->StoreSettings();
  EXPECT_EQ(Name(CSettings::ItemAdminPassword), "new guard");
}

TEST_F(SettingsDlgTest, CloseKeepsEveryChangeLikeOk) {
  MessageBoxRecorder boxes;
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([](CSettingsDlg& d) {
    d.guiEditDefEncPass->ChangeValue("Typed name");
    d.guiEditDefDecPass->ChangeValue("Other");
    d.guiEditAdmPass->ChangeValue("s3cret");
    d.guiEditConfirmAdmPass->ChangeValue("s3cret");
    d.guiCheckRemoveFilesAfterEnc->SetValue(false);
    d.guiCheckRemoveFilesAfterDec->SetValue(false);
    d.guiCheckOverwriteFiles->SetValue(true);
    d.guiCheckHideReportDlg->SetValue(true);
    d.guiCheckChooseEncPass->SetValue(true);
    d.guiCheckChooseDecPass->SetValue(true);
    d.guiCheckEnableLogging->SetValue(true);
    Click(d.guiButtonClose);
  });
  EXPECT_EQ(Run(driver), CSettingsDlg::Closed);
  dialog_->StoreSettings();
  EXPECT_EQ(Name(CSettings::ItemDefEncPass), "Typed name") << "stored as typed, unchecked";
  EXPECT_EQ(Name(CSettings::ItemDefDecPass), "Other");
  EXPECT_EQ(Name(CSettings::ItemAdminPassword), "s3cret");
  EXPECT_FALSE(Switch(CSettings::ItemRemoveFilesAfterEncryption));
  EXPECT_FALSE(Switch(CSettings::ItemRemoveFilesAfterDecryption));
  EXPECT_TRUE(Switch(CSettings::ItemOverwriteExistingFiles));
  EXPECT_TRUE(Switch(CSettings::ItemHideReportDlg));
  EXPECT_TRUE(Switch(CSettings::ItemChooseEncPass));
  EXPECT_TRUE(Switch(CSettings::ItemChooseDecPass));
  EXPECT_TRUE(Bool(CSettings::GroupLogger, CSettings::ItemEnableLog));
  // Stored with filler number 12, as the rest of the program and every
  // earlier settings file have it: the encoding worked out apart from the
  // program, from its definition (marker, filler counting from 0xB0, the
  // protection key stream).
  wxString stored;
  settings_.GetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass, stored);
  EXPECT_EQ(
      stored,
      "91048A6BB610DD25403ACED833CF9AC362849AF6F26B01D1496872A90C5342CB14B4212CE389709E8B46423E74BC"
      "8B2C4FA671D974FCD7216C9C46BABF75A4F1A3036B00502CED6FC769554A9069E00AEE785A4049E6DD3345139C2B"
      "6E6392F6F9368F6BCC2EB60291773E990E38146E2CD2C06897A930F74A61BC05AFA2EE98");
}

// Removing in the password manager a password that is the default both ways:
// only the encryption default is switched off, with one warning.
TEST_F(SettingsDlgTest, RemovingTheDefaultForBothSwitchesOffOnlyEncryption) {
  SetDefaults("Work", true, "Work", true);
  MessageBoxRecorder boxes(wxYES);
  long preselected = -1;
  bool useEnc = true, useDec = false, storedUseEnc = true, selectEnabled = true;
  wxString encField;
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([](CSettingsDlg& d) { ClickLater(d.guiButtonDefEncPassSelect); })
      .On<CPassManagerDlg>([&](CPassManagerDlg& manager) {
        preselected = manager.SelectedRow();
        Click(manager.guiButtonRemove);
        Click(manager.guiButtonClose);
      })
      .On<CSettingsDlg>([&](CSettingsDlg& d) {
        useEnc = d.guiCheckUseDefEncPass->GetValue();
        useDec = d.guiCheckUseDefDecPass->GetValue();
        storedUseEnc = Switch(CSettings::ItemUseDefEncPass);
        selectEnabled = d.guiButtonDefEncPassSelect->IsEnabled();
        encField = d.guiEditDefEncPass->GetValue();
        Click(d.guiButtonOK);
      });
  Run(driver);
  EXPECT_EQ(preselected, 0) << "the field's name is preselected";
  EXPECT_FALSE(useEnc);
  EXPECT_TRUE(useDec);
  EXPECT_FALSE(storedUseEnc) << "switched off at once";
  EXPECT_FALSE(selectEnabled);
  EXPECT_EQ(encField, "Work") << "the name stays in its field";
  std::vector<wxString> texts;
  for (const auto& box : boxes.Boxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, std::vector<wxString>(
                       {"Are you sure want to remove the password?",
                        "Attention. Deleted password was a default password for encryption. "
                        "Please change it",
                        "Please change default administrator password for higher level of "
                        "security"}));
  ASSERT_EQ(passwords_.LoadEntries().size(), 1u) << "the removal was stored with the manager";
  dialog_->StoreSettings();
  EXPECT_FALSE(Switch(CSettings::ItemUseDefEncPass));
  EXPECT_TRUE(Switch(CSettings::ItemUseDefDecPass));
}

TEST_F(SettingsDlgTest, RenamedDefaultFollowsTheEdit) {
  SetDefaults("Other", true, "Work", true);
  MessageBoxRecorder boxes;
  wxString encField, decField;
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([](CSettingsDlg& d) { ClickLater(d.guiButtonDefDecPassSelect); })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { ClickLater(manager.guiButtonEdit); })
      .On<CPassEditDlg>([](CPassEditDlg& editor) {
        editor.guiEditPrompt->ChangeValue("hint");
        editor.guiEditName->ChangeValue("Job");
        Click(editor.guiButtonAdd);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { Click(manager.guiButtonClose); })
      .On<CSettingsDlg>([&](CSettingsDlg& d) {
        encField = d.guiEditDefEncPass->GetValue();
        decField = d.guiEditDefDecPass->GetValue();
        Click(d.guiButtonOK);
      });
  Run(driver);
  EXPECT_EQ(encField, "Other");
  EXPECT_EQ(decField, "Job");
  dialog_->StoreSettings();
  EXPECT_EQ(Name(CSettings::ItemDefDecPass), "Job");
  EXPECT_FALSE(passwords_.KeyForNamedPassword("Job", 16).empty()) << "the new name was stored";
}

// A pick puts the entry's stored name into the field, whatever the row
// shows, so the default always names a stored entry.
TEST_F(SettingsDlgTest, PickingTakesTheStoredNameAndClosingTheManagerChangesNothing) {
  SetDefaults("", true, "", false);
  MessageBoxRecorder boxes;
  wxString afterPick, afterClose;
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([](CSettingsDlg& d) { ClickLater(d.guiButtonDefEncPassSelect); })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) {
        manager.passwordList->SetItemText(1, "Relabelled");
        manager.passwordList->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        Click(manager.guiButtonSelect);
      })
      .On<CSettingsDlg>([&](CSettingsDlg& d) {
        afterPick = d.guiEditDefEncPass->GetValue();
        ClickLater(d.guiButtonDefEncPassSelect);
      })
      .On<CPassManagerDlg>([](CPassManagerDlg& manager) { Click(manager.guiButtonClose); })
      .On<CSettingsDlg>([&](CSettingsDlg& d) {
        afterClose = d.guiEditDefEncPass->GetValue();
        Click(d.guiButtonOK);
      });
  Run(driver);
  EXPECT_EQ(afterPick, "Other");
  EXPECT_EQ(afterClose, "Other");
  EXPECT_EQ(passwords_.LoadEntries()[1].name, "Other");
}

// A text too long to store fails the store step with its message: what
// comes before it in the order is written, what comes after is not.
TEST_F(SettingsDlgTest, TooLongAdministratorPasswordFailsTheStoreStep) {
  MessageBoxRecorder boxes;
  const wxString tooLong('a', 126);
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([&](CSettingsDlg& d) {
    d.guiEditDefEncPass->ChangeValue("Work");
    d.guiEditAdmPass->ChangeValue(tooLong);
    d.guiEditConfirmAdmPass->ChangeValue(tooLong);
    d.guiCheckHideReportDlg->SetValue(true);
    Click(d.guiButtonOK);
  });
  EXPECT_EQ(Run(driver), CSettingsDlg::ClosedWithOk);
  try {
    dialog_->StoreSettings();
    FAIL() << "a 126-character password was stored";
  } catch (const CSettingsException& error) {
    EXPECT_EQ(error.GetMessage(), "String is too long. Maximum lenght is 128 byte");
  }
  EXPECT_EQ(Name(CSettings::ItemDefEncPass), "Work");
  EXPECT_EQ(Name(CSettings::ItemAdminPassword), "");
  EXPECT_FALSE(Switch(CSettings::ItemHideReportDlg));
}

// The design's pixels are pixels at 96 DPI: on a denser screen the window
// grows with its fonts, and nothing in it is cut off or overlaps. The Windows
// tests run this again at 144 DPI, named in VEILOR_TEST_DPI.
TEST_F(SettingsDlgTest, ControlsInsideTheWindowAndApartAtTheScreensDpi) {
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([](CSettingsDlg& d) {
    wxString dpi;
    if (wxGetEnv("VEILOR_TEST_DPI", &dpi)) {
      EXPECT_EQ(wxString::Format("%d", d.GetDPI().y), dpi);
    }
    EXPECT_GE(d.GetSize().x, d.FromDIP(486));
    EXPECT_GE(d.GetSize().y, d.FromDIP(497));
    ExpectInsideAndApart(d);
    Click(d.guiButtonOK);
  });
  MessageBoxRecorder boxes;
  Run(driver);
}

TEST_F(SettingsDlgTest, LayoutFitsItsFixedSize) {
  DialogDriver driver;
  AnswerPrompt(driver, "");
  driver.On<CSettingsDlg>([](CSettingsDlg& d) {
    EXPECT_GE(d.GetSize().x, 486);
    EXPECT_GE(d.GetSize().y, 497);
    EXPECT_EQ(d.GetMinSize(), d.GetMaxSize());
    const wxSize needed = d.GetSizer()->GetMinSize();
    EXPECT_LE(needed.x, d.GetClientSize().x);
    EXPECT_LE(needed.y, d.GetClientSize().y);
    for (wxCheckBox* box : {d.guiCheckUseDefEncPass, d.guiCheckChooseDecPass,
                            d.guiCheckRemoveFilesAfterDec, d.guiCheckEnableLogging}) {
      EXPECT_GE(box->GetSize().x, box->GetBestSize().x) << box->GetLabel();
    }
    Click(d.guiButtonOK);
  });
  MessageBoxRecorder boxes;
  Run(driver);
}

}  // namespace

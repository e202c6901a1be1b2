#include <gtest/gtest.h>

#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "FirstStartSettings.h"
#include "TempDir.h"

namespace {

class ProgramSettingsTest : public testing::Test {
protected:
  TempDir dir_;
  wxString path_ = dir_ / "veilor.ini";
};

TEST_F(ProgramSettingsTest, FirstStartWritesEveryDefault) {
  { CSettings settings(path_); }
  EXPECT_EQ(ReadFileBytes(path_), kFirstStartSettings);
}

TEST_F(ProgramSettingsTest, DefaultsReadAsDeclared) {
  CSettings settings(path_);
  bool value = false;
  settings.GetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterEncryption, value);
  EXPECT_TRUE(value);
  settings.GetBool(CSettings::GroupLogger, CSettings::ItemShowInfoMessages, value);
  EXPECT_FALSE(value);
  wxString admin;
  settings.GetString(CSettings::GroupSettingsDlg, CSettings::ItemAdminPassword, admin);
  EXPECT_EQ(UnprotectString(admin), "");
  wxString name = "x";
  settings.GetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass, name);
  EXPECT_EQ(UnprotectString(name), "");
}

TEST_F(ProgramSettingsTest, MissingKeyIsFilledInAndUnknownKeysDrop) {
  std::string file = kFirstStartSettings;
  file.replace(file.find("HideReportDlg=0"), 15, "Obsolete=1");
  file.replace(file.find("OverwriteExistingFiles=0"), 24, "OverwriteExistingFiles=1");
  WriteFileBytes(path_, file);
  {
    CSettings settings(path_);
    bool hide = true;
    settings.GetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, hide);
    EXPECT_FALSE(hide);
  }
  std::string expected = kFirstStartSettings;
  expected.replace(expected.find("OverwriteExistingFiles=0"), 24, "OverwriteExistingFiles=1");
  EXPECT_EQ(ReadFileBytes(path_), expected);
}

TEST_F(ProgramSettingsTest, PasswordListsRoundTripInTheirOwnSections) {
  {
    CSettings settings(path_);
    wxArrayString names;
    names.push_back(ProtectString("home", 0));
    names.push_back(ProtectString("work", 1));
    settings.SetDynamicGroup(CSettings::GroupPNames, names);
  }
  const std::string file = ReadFileBytes(path_);
  EXPECT_NE(file.find("[DynamicGroup/PNames]" + kLineEnd + "item0="), std::string::npos);
  EXPECT_EQ(file.find("[DynamicGroup/PList]"), std::string::npos);
  EXPECT_EQ(file.find("PassManagerDlg"), std::string::npos);

  CSettings reread(path_);
  wxArrayString names;
  reread.GetDynamicGroup(CSettings::GroupPNames, names);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(UnprotectString(names[0]), "home");
  EXPECT_EQ(UnprotectString(names[1]), "work");
}

}  // namespace

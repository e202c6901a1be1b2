#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/utils.h>

#include "TempDir.h"
#include "settings/SettingsPath.h"

namespace {

TEST(SettingsPathTest, ProgramFolderIsMadeInsideTheUserDataFolder) {
  TempDir dir;
  const wxString data = dir / "config";  // a fresh account has none yet
  EXPECT_EQ(SettingsFilePathIn(data, dir / "home"), JoinPath(data, "Veilor/veilor.ini"));
  EXPECT_TRUE(wxDirExists(JoinPath(data, "Veilor")));
  // A second run finds it.
  EXPECT_EQ(SettingsFilePathIn(data, dir / "home"), JoinPath(data, "Veilor/veilor.ini"));
}

TEST(SettingsPathTest, HomeFolderWhenTheProgramFolderCannotBeMade) {
  TempDir dir;
  WriteFileBytes(dir / "blocker", "a file, not a folder");
  EXPECT_EQ(SettingsFilePathIn(dir / "blocker", dir.Path()), dir / "veilor.ini");
  EXPECT_EQ(SettingsFilePathIn(dir / "blocker/deeper", dir.Path() + wxFILE_SEP_PATH),
            dir / "veilor.ini");
  EXPECT_EQ(SettingsFilePathIn("", dir.Path()), dir / "veilor.ini");
  EXPECT_EQ(SettingsFilePathIn("relative/dir", dir.Path()), dir / "veilor.ini");
}

#ifdef _WIN32
TEST(UserDataDirTest, IsTheRoamingApplicationDataFolder) {
  wxString appData;
  ASSERT_TRUE(wxGetEnv("APPDATA", &appData));
  EXPECT_EQ(UserDataDir(), appData);
}
#else
class UserDataDirTest : public testing::Test {
protected:
  void SetUp() override {
    hadXdg_ = wxGetEnv("XDG_CONFIG_HOME", &xdg_);
    wxGetEnv("HOME", &home_);
  }
  void TearDown() override {
    if (hadXdg_) {
      wxSetEnv("XDG_CONFIG_HOME", xdg_);
    } else {
      wxUnsetEnv("XDG_CONFIG_HOME");
    }
    wxSetEnv("HOME", home_);
  }
  bool hadXdg_ = false;
  wxString xdg_;
  wxString home_;
};

TEST_F(UserDataDirTest, FollowsTheXdgConfigurationFolder) {
  wxSetEnv("HOME", "/home/someone");
  wxUnsetEnv("XDG_CONFIG_HOME");
  EXPECT_EQ(UserDataDir(), "/home/someone/.config");
  wxSetEnv("XDG_CONFIG_HOME", "/elsewhere/cfg");
  EXPECT_EQ(UserDataDir(), "/elsewhere/cfg");
  // A relative value is invalid and ignored.
  wxSetEnv("XDG_CONFIG_HOME", "cfg");
  EXPECT_EQ(UserDataDir(), "/home/someone/.config");
}
#endif

}  // namespace

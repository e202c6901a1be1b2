#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/utils.h>

#include "1_base/Exceptions.h"
#include "3_settings/ProgramSettings.h"
#include "3_settings/SettingsPath.h"
#include "TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "ProgramRunner.h"
#endif

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

TEST(SettingsPathTest, NoFolderAtAllIsAnErrorNotTheCurrentFolder) {
  for (const wxString& home : {wxString(), wxString("relative/home")}) {
    try {
      const wxString path = SettingsFilePathIn("", home);
      ADD_FAILURE() << "settings put at " << path;
    } catch (const rkSettingsException& error) {
      EXPECT_TRUE(error.GetMessage().StartsWith("Can't find a home folder")) << error.GetMessage();
    }
  }
}

#ifndef _WIN32
mode_t ModeOf(const wxString& path) {
  struct stat info {};
  return ::stat(path.fn_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The settings hold the stored passwords: owner-only whatever the umask, when
// first written and when rewritten, and a wider folder or file is narrowed.
TEST(SettingsPathTest, FolderAndFileAreOwnerOnly) {
  TempDir dir;
  struct OpenMask {
    mode_t old = ::umask(0);
    ~OpenMask() { ::umask(old); }
  } mask;
  const wxString path = SettingsFilePathIn(dir / "config", dir / "home");
  { CSettings firstStart(path); }
  EXPECT_EQ(ModeOf(dir / "config/Veilor"), 0700u);
  EXPECT_EQ(ModeOf(path), 0600u);
  {
    CSettings settings(path);
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
  }
  EXPECT_EQ(ModeOf(path), 0600u);

  ASSERT_EQ(::chmod((dir / "config/Veilor").fn_str(), 0755), 0);
  ASSERT_EQ(::chmod(path.fn_str(), 0644), 0);
  EXPECT_EQ(SettingsFilePathIn(dir / "config", dir / "home"), path);
  EXPECT_EQ(ModeOf(dir / "config/Veilor"), 0700u);
  EXPECT_EQ(ModeOf(path), 0600u);
}
#endif

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

// Without a usable HOME the user database names the home folder; the current
// folder is never used.
TEST_F(UserDataDirTest, WithoutHomeTheUserDatabaseNamesTheHomeFolder) {
  const wxString database = ShellOutput("getent passwd \"$(id -u)\" | cut -d: -f6");
  ASSERT_TRUE(wxIsAbsolutePath(database)) << database;
  wxUnsetEnv("XDG_CONFIG_HOME");
  for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"}) {
    if (home == nullptr) {
      wxUnsetEnv("HOME");
    } else {
      wxSetEnv("HOME", home);
    }
    EXPECT_EQ(HomeDir(), database) << (home ? home : "unset");
    EXPECT_EQ(UserDataDir(), database + "/.config") << (home ? home : "unset");
  }
}
#endif

}  // namespace

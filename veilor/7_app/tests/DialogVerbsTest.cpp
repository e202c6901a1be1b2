// The dialog verbs of the built program, driven through the X server with
// the keyboard as a user would: a password stored in the password manager,
// made the default for encryption in the settings, then used without asking.
#include <gtest/gtest.h>

#include <wx/dir.h>
#include <wx/filename.h>

#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "FirstStartSettings.h"
#include "ProgramInHome.h"
#include "ProgramRunner.h"
#include "TempDir.h"

namespace {

constexpr int kSeconds = 60;

class DialogVerbsTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
  }

  ProgramRunner Veilor(std::vector<std::string> args) {
    return ProgramInHome(home_, std::move(args));
  }

  wxString SettingsFile() const { return home_ + "/.config/Veilor/veilor.ini"; }

  // Waits for a visible window whose whole title matches the pattern `title`
  // and gives it the focus.
  static std::string Window(const std::string& title) {
    const std::string id = FindVisibleWindow(title, 30);
    if (!id.empty()) FocusWindow(id);
    return id;
  }

  static void Keys(const std::string& keys) { ShellOutput("xdotool key --delay 60 " + keys); }
  static void Type(const std::string& text) {
    ShellOutput("xdotool type --delay 15 '" + text + "'");
  }

  // Confirms the administrator prompt with the empty password of a fresh
  // installation.
  static void PassAdministratorCheck() {
    ASSERT_FALSE(Window("New Dialog").empty()) << "no administrator prompt";
    Keys("Return");
  }

  TempDir dir_;
  wxString home_ = dir_ / "home";
  wxString data_ = dir_ / "data";
};

TEST_F(DialogVerbsTest, StoredPasswordBecomesTheEncryptionDefault) {
  // "pm": add a password with the keyboard; the list has the focus first.
  ProgramRunner pm = Veilor({"pm"});
  ASSERT_TRUE(pm.Start());
  PassAdministratorCheck();
  ASSERT_FALSE(Window("Password manager").empty()) << "no password manager";
  Keys("Tab space");
  ASSERT_FALSE(Window("Add password").empty()) << "no add dialog";
  Type("stored secret");
  Keys("Tab");
  Type("stored secret");
  Keys("Tab");
  Type("the usual");
  Keys("Tab");
  Type("Work");
  Keys("Tab space");
  ASSERT_FALSE(Window("Password manager").empty());
  Keys("Escape");
  ASSERT_TRUE(pm.Wait(kSeconds).has_value()) << pm.StandardError();
  {
    CSettings settings(SettingsFile());
    CPasswordManager passwords(settings);
    const std::vector<CPasswordEntry> entries = passwords.LoadEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], CPasswordEntry("stored secret", "the usual", "Work"));
  }

  // "settings": switch the default on, type its name, close (the empty
  // administrator password is accepted after a warning).
  ProgramRunner settingsRun = Veilor({"settings"});
  ASSERT_TRUE(settingsRun.Start());
  PassAdministratorCheck();
  ASSERT_FALSE(Window("Ordal Veilor.s Settings").empty()) << "no settings dialog";
  Keys("space Tab");
  Type("Work");
  Keys("Escape");
  ASSERT_FALSE(Window("Veilor Warning").empty()) << "no warning about the empty password";
  Keys("Return");
  ASSERT_TRUE(settingsRun.Wait(kSeconds).has_value()) << settingsRun.StandardError();
  {
    CSettings settings(SettingsFile());
    bool useDefault = false;
    wxString name;
    settings.GetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, useDefault);
    settings.GetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass, name);
    EXPECT_TRUE(useDefault);
    EXPECT_EQ(UnprotectString(name), "Work");
  }

  // "aese": no password window, only the report, which a password window
  // would keep from coming since the key is obtained first.
  ASSERT_TRUE(wxFileName::Mkdir(data_ + "/docs", 0755, wxPATH_MKDIR_FULL));
  WriteFileBytes(data_ + "/docs/a.txt", "first file\n");
  WriteFileBytes(data_ + "/docs/b.txt", "second file\n");
  ProgramRunner encrypt = Veilor({"aese", (data_ + "/docs").utf8_string()});
  ASSERT_TRUE(encrypt.Start());
  ASSERT_FALSE(Window("Encryption report").empty()) << "no report: the password was asked for?";
  PressEnterUntilClosed("Encryption report");
  ASSERT_TRUE(encrypt.Wait(kSeconds).has_value()) << encrypt.StandardError();
  wxArrayString files;
  wxDir::GetAllFiles(data_ + "/docs", &files);
  files.Sort();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_TRUE(files[0].EndsWith("a.txt.aes"));
  EXPECT_TRUE(files[1].EndsWith("b.txt.aes"));
}

// A name one character too long for the store is refused in the add window
// with a warning; shortened, it is accepted and stored when the program ends.
TEST_F(DialogVerbsTest, PasswordManagerRefusesANameItCannotStore) {
  WriteFileBytes(SettingsFile(), kFirstStartSettings);
  ProgramRunner pm = Veilor({"pm"});
  ASSERT_TRUE(pm.Start());
  PassAdministratorCheck();
  ASSERT_FALSE(Window("Password manager").empty());
  Keys("Tab space");
  ASSERT_FALSE(Window("Add password").empty());
  Type("x");
  Keys("Tab");
  Type("x");
  Keys("Tab");
  Type("p");
  Keys("Tab");
  Type(std::string(126, 'n'));
  Keys("Tab space");
  ASSERT_FALSE(Window("Veilor Warning").empty()) << "the name was not refused";
  Keys("Return");
  ASSERT_FALSE(Window("Add password").empty());
  Keys("shift+Tab End BackSpace Tab space");
  ASSERT_FALSE(Window("Password manager").empty());
  Keys("Escape");
  const auto status = pm.Wait(kSeconds);
  ASSERT_TRUE(status.has_value()) << "the program did not end normally: " << pm.StandardError();
  CSettings settings(SettingsFile());
  const std::vector<CPasswordEntry> entries = CPasswordManager(settings).LoadEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, wxString('n', 125));
}

// A batch that holds the settings while another process stores a password
// (as "pm" does beside a long batch) must not throw the password away when it
// ends.
TEST_F(DialogVerbsTest, PasswordStoredDuringABatchSurvivesIt) {
  WriteFileBytes(SettingsFile(), kFirstStartSettings);
  ASSERT_TRUE(wxFileName::Mkdir(data_, 0755, wxPATH_MKDIR_FULL));
  WriteFileBytes(data_ + "/a.txt", "first file\n");
  ProgramRunner batch = Veilor({"aese", (data_ + "/a.txt").utf8_string()});
  ASSERT_TRUE(batch.Start());
  ASSERT_FALSE(Window("New Dialog").empty()) << "no password window";
  const CPasswordEntry stored("stored secret", "the usual", "Work");
  {
    CSettings settings(SettingsFile());
    CPasswordManager(settings).StoreEntries({stored});
    settings.Save();
  }
  ASSERT_FALSE(Window("New Dialog").empty());
  for (int entry = 0; entry < 2; ++entry) {  // typed twice for encryption
    Type("batch pass");
    Keys("Return");
  }
  ASSERT_FALSE(Window("Encryption report").empty()) << "no report";
  PressEnterUntilClosed("Encryption report");
  EXPECT_EQ(batch.Wait(kSeconds), std::optional<int>(0)) << batch.StandardError();
  EXPECT_TRUE(wxFileExists(data_ + "/a.txt.aes"));
  CSettings settings(SettingsFile());
  const std::vector<CPasswordEntry> entries = CPasswordManager(settings).LoadEntries();
  ASSERT_EQ(entries.size(), 1u) << "the other run's password was lost";
  EXPECT_EQ(entries[0], stored);
}

TEST_F(DialogVerbsTest, AboutShowsForTheVerbAndForNoArguments) {
  for (const auto& args : {std::vector<std::string>{"about"}, std::vector<std::string>{}}) {
    ProgramRunner about = Veilor(args);
    ASSERT_TRUE(about.Start());
    ASSERT_FALSE(Window("About").empty()) << "no about box";
    // The focus is on "Close".
    Keys("Return");
    EXPECT_TRUE(about.Wait(kSeconds).has_value()) << about.StandardError();
  }
}

}  // namespace

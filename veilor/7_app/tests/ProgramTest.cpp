// The built program started as a user starts it, under a private X server.
#include <gtest/gtest.h>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "FirstStartSettings.h"
#include "ProgramRunner.h"
#include "TempDir.h"

namespace {

constexpr int kSeconds = 60;

class ProgramTest : public testing::Test {
protected:
  ProgramRunner Veilor(std::vector<std::string> args) {
    ProgramRunner runner(VEILOR_PROGRAM, std::move(args));
    runner.Env("HOME", std::string(home_.utf8_str()))
        .Env("XDG_CONFIG_HOME", std::nullopt)
        .Env("XDG_STATE_HOME", std::nullopt);
    return runner;
  }
  wxString SettingsFile() const { return home_ + "/.config/Veilor/veilor.ini"; }

  TempDir dir_;
  wxString home_ = dir_.Path();
};

TEST_F(ProgramTest, FirstStartWithUnknownVerbWritesTheDefaultSettings) {
  for (auto args : {std::vector<std::string>{"nonsense"}, {"AESE", "/tmp/x"}, {"aese"}}) {
    wxRemoveFile(SettingsFile());
    ProgramRunner veilor = Veilor(args);
    ASSERT_TRUE(veilor.Start());
    EXPECT_TRUE(veilor.Wait(kSeconds).has_value()) << veilor.StandardError();
    EXPECT_EQ(ReadFileBytes(SettingsFile()), kFirstStartSettings) << args[0];
  }
}

// An error before the first window is shown in a box on the display, and
// nothing is touched: damaged settings, a crypto library that failed its
// self-test.
TEST_F(ProgramTest, StartUpErrorsAreShownInABoxAndNothingIsTouched) {
  ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
  const std::string damaged = "[StaticGroup/SettingsDlg]\nUseDefEncPass=0\ngarbage\n";
  const std::string file = (dir_ / "a.txt").utf8_string();
  WriteFileBytes(file, "plain");
  for (const bool selfTestFails : {false, true}) {
    SCOPED_TRACE(selfTestFails ? "self-test" : "settings");
    const std::string settings = selfTestFails ? kFirstStartSettings : damaged;
    WriteFileBytes(SettingsFile(), settings);
    ProgramRunner veilor = Veilor({"aese", file});
    if (selfTestFails) veilor.Env("LD_PRELOAD", VEILOR_FAILING_SELF_TEST);
    ASSERT_TRUE(veilor.Start());
    const std::string box = FindVisibleWindow("Error", 30);
    ASSERT_FALSE(box.empty()) << "no error box appeared: " << veilor.StandardError();
    FocusWindow(box);
    ShellOutput("xdotool key Return");
    EXPECT_EQ(veilor.Wait(kSeconds), 1);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), settings);
    EXPECT_EQ(ReadFileBytes(file), "plain");
    EXPECT_FALSE(wxFileExists(file + ".aes"));
  }
}

// Without a display the program says so on standard error, after the error
// it met before, and ends with a failure status.
TEST_F(ProgramTest, NoDisplayIsAClearMessage) {
  ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
  const std::string noDisplay = "Error: Cannot open a display: veilor shows its windows";
  const struct {
    std::string settings;  // none when empty
    std::vector<std::string> args;
    std::string firstError;
    bool selfTestFails = false;
  } cases[] = {
      {"", {"aese", "/tmp/x"}, noDisplay},
      {"", {}, noDisplay},
      {"[StaticGroup/SettingsDlg]\ngarbage\n",
       {"aese", "/tmp/x"},
       "Error: The settings file is damaged"},
      {"", {"aese", "/tmp/x"}, "Error: Power up self test failed.", true},
  };
  for (const auto& c : cases) {
    wxRemoveFile(SettingsFile());
    if (!c.settings.empty()) WriteFileBytes(SettingsFile(), c.settings);
    ProgramRunner veilor = Veilor(c.args);
    veilor.Env("DISPLAY", std::nullopt).Env("WAYLAND_DISPLAY", std::nullopt);
    if (c.selfTestFails) veilor.Env("LD_PRELOAD", VEILOR_FAILING_SELF_TEST);
    ASSERT_TRUE(veilor.Start());
    EXPECT_EQ(veilor.Wait(kSeconds), std::optional<int>(1)) << veilor.StandardError();
    const std::string error = veilor.StandardError();
    EXPECT_EQ(error.rfind(c.firstError, 0), 0u) << error;
    EXPECT_NE(error.find(noDisplay), std::string::npos) << error;
  }
}

// With logging on, the first line of every run lands in the day's log file
// in the desktop's state folder; nothing is made beside the program.
TEST_F(ProgramTest, EnabledLogRecordsTheStart) {
  ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
  std::string settings = kFirstStartSettings;
  settings.replace(settings.find("EnableLog=0"), 11, "EnableLog=1");
  WriteFileBytes(SettingsFile(), settings);
  const wxString besideProgram = wxFileName(VEILOR_PROGRAM).GetPath() + "/Log";
  wxFileName::Rmdir(besideProgram, wxPATH_RMDIR_RECURSIVE);

  const struct {
    std::optional<std::string> stateHome;
    wxString logDir;
  } cases[] = {
      {std::nullopt, home_ + "/.local/state/Veilor/Log"},
      {(dir_ / "state").utf8_string(), dir_ / "state/Veilor/Log"},
  };
  for (const auto& c : cases) {
    ProgramRunner veilor = Veilor({"nonsense"});
    veilor.Env("XDG_STATE_HOME", c.stateHome);
    ASSERT_TRUE(veilor.Start());
    EXPECT_TRUE(veilor.Wait(kSeconds).has_value());

    wxArrayString logs;
    ASSERT_EQ(wxDir::GetAllFiles(c.logDir, &logs), 1u) << c.logDir;
    EXPECT_TRUE(wxFileName(logs[0]).GetFullName().StartsWith("Veilor logger[ "));
    EXPECT_NE(ReadFileBytes(logs[0]).find("]: Veilor Information : Initializing veilor...\n"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), settings);
  }
  EXPECT_FALSE(wxDirExists(besideProgram));
}

// A home folder that cannot hold the settings: the program still runs, and
// at the end says in a box that the settings could not be saved.
TEST_F(ProgramTest, UnusableHomeGivesAnErrorBoxNotACrash) {
  WriteFileBytes(dir_ / "file", "");
  home_ = dir_ / "file/home";
  ProgramRunner veilor = Veilor({"nonsense"});
  ASSERT_TRUE(veilor.Start());
  const std::string window = FindVisibleWindow("Veilor Error", 30);
  ASSERT_FALSE(window.empty()) << "no error box appeared";
  FocusWindow(window);
  ShellOutput("xdotool key Return");
  const auto status = veilor.Wait(kSeconds);
  EXPECT_EQ(status, 1) << "the program did not end cleanly, or hid the error from its caller";
}

// "pm" and "settings" ask for the administrator password first; out of the
// box it is empty, so anything typed is refused with a warning.
TEST_F(ProgramTest, DialogVerbsCheckTheAdministratorPassword) {
  for (const std::string verb : {"pm", "settings"}) {
    ProgramRunner veilor = Veilor({verb});
    ASSERT_TRUE(veilor.Start());
    const std::string prompt = FindVisibleWindow("New Dialog", 30);
    ASSERT_FALSE(prompt.empty()) << "no password window for " << verb;
    FocusWindow(prompt);
    ShellOutput("xdotool type --delay 20 'guess'");
    ShellOutput("xdotool key Return");
    const std::string warning = FindVisibleWindow("Veilor Warning", 30);
    ASSERT_FALSE(warning.empty()) << "no warning box for " << verb;
    FocusWindow(warning);
    ShellOutput("xdotool key Return");
    // Refused is not what was asked for: a script must be able to tell.
    EXPECT_EQ(veilor.Wait(kSeconds), std::optional<int>(1)) << verb;
  }
}

// Scripts and file managers tell success from failure by the exit status;
// the questions about the program are answered on standard output, a
// command line that is not understood gets the usage on standard error.
TEST_F(ProgramTest, ExitStatusAndAnswersOfTheCommandLine) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string output;  // part of standard output; none at all when empty
    std::string error;   // part of standard error; none at all when empty
  } cases[] = {
      {{"--help"}, 0, "one argument each (commas and all)", ""},
      {{"--version"}, 0, "Veilor " VEILOR_PROJECT_VERSION, ""},
      {{"nonsense"}, 2, "", "Usage: veilor"},
      {{"aese"}, 2, "", "aese | aesd | des3e | des3d FILES"},
      {{"settings", "/a", "/b"}, 2, "", "Usage: veilor"},
      {{"about", "x"}, 2, "", "Usage: veilor"},
  };
  for (const auto& c : cases) {
    ProgramRunner veilor = Veilor(c.args);
    ASSERT_TRUE(veilor.Start());
    EXPECT_EQ(veilor.Wait(kSeconds), c.status) << c.args[0];
    if (c.error.empty()) {
      EXPECT_EQ(veilor.StandardError(), "") << c.args[0];
    } else {
      EXPECT_NE(veilor.StandardError().find(c.error), std::string::npos) << veilor.StandardError();
    }

    std::string command =
        "env -u XDG_CONFIG_HOME HOME='" + home_.utf8_string() + "' " + VEILOR_PROGRAM;
    for (const std::string& arg : c.args) command += " '" + arg + "'";
    const std::string output = ShellOutput(command + " 2>/dev/null");
    if (c.output.empty()) {
      EXPECT_EQ(output, "") << c.args[0];
    } else {
      EXPECT_NE(output.find(c.output), std::string::npos) << output;
    }
  }
}
}  // namespace

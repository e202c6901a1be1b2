// The settings file as runs of the built program share it: a lock another
// run keeps, a FIFO in its place, two password managers open at once.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <wx/filename.h>

#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "ProgramInHome.h"
#include "ProgramRunner.h"
#include "TempDir.h"

namespace {

constexpr int kSeconds = 60;

class SettingsFileProgramTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
  }

  ProgramRunner Veilor(std::vector<std::string> args) {
    return ProgramInHome(home_, std::move(args));
  }

  wxString SettingsFile() const { return home_ + "/.config/Veilor/veilor.ini"; }

  TempDir dir_;
  wxString home_ = dir_ / "home";
};

// Neither hangs: the run says what is wrong and ends with 1, the file to be
// encrypted untouched.
TEST_F(SettingsFileProgramTest, HeldLockAndFifoEndTheRunWithTheirCause) {
  const std::string file = (dir_ / "a.txt").utf8_string();
  WriteFileBytes(file, "plain");
  const std::string lockPath = (SettingsFile() + ".lock").utf8_string();
  for (const bool fifo : {false, true}) {
    SCOPED_TRACE(fifo ? "FIFO" : "lock");
    int lock = -1;
    if (fifo) {
      ASSERT_EQ(::mkfifo(SettingsFile().fn_str(), 0600), 0);
    } else {
      lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
      ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    }
    ProgramRunner veilor = Veilor({"aese", file});
    veilor.Env("DISPLAY", std::nullopt).Env("WAYLAND_DISPLAY", std::nullopt);
    ASSERT_TRUE(veilor.Start());
    EXPECT_EQ(veilor.Wait(kSeconds), std::optional<int>(1)) << veilor.StandardError();
    const std::string expected =
        fifo ? "Error: The settings file is not a regular file: " + SettingsFile().utf8_string()
             : "Error: The settings file stayed locked by another Veilor window. Lock file: " +
                   lockPath;
    EXPECT_EQ(veilor.StandardError().rfind(expected, 0), 0u) << veilor.StandardError();
    if (lock >= 0) ::close(lock);
  }
  EXPECT_EQ(ReadFileBytes(file), "plain");
}

// The window titled exactly `title` of the process `pid`, waiting up to a
// minute for it; empty when none appeared.
std::string WindowOf(int pid, const std::string& title) {
  return ShellOutput("for i in $(seq 300); do id=$(xdotool search --all --onlyvisible --pid " +
                     std::to_string(pid) + " --name '^" + title +
                     "$' 2>/dev/null | head -1); [ -n \"$id\" ] && { echo \"$id\"; break; };" +
                     " sleep 0.2; done");
}

// Gives the window the focus and presses the keys.
void Keys(const std::string& window, const std::string& keys) {
  FocusWindow(window);
  ShellOutput("xdotool key --delay 60 " + keys);
}

// Answers the process's question or error box with Enter and waits until
// it is gone.
void Confirm(int pid, const std::string& title) {
  const std::string box = WindowOf(pid, title);
  ASSERT_FALSE(box.empty()) << "no box titled " << title;
  Keys(box, "Return");
  ShellOutput("for i in $(seq 300); do xdotool search --all --onlyvisible --pid " +
              std::to_string(pid) + " --name '^" + title +
              "$' >/dev/null 2>&1 || break; sleep 0.2; done");
}

// Two password managers on one list: A removes "Home", then B removes
// "Work". B's list would undo A's removal (or, a group at a time, put the
// lists out of step); it is refused with a message and the file keeps A's.
TEST_F(SettingsFileProgramTest, TwoPasswordManagersNeverMixTheirLists) {
  {
    CSettings settings(SettingsFile());
    CPasswordManager(settings).StoreEntries(
        {CPasswordEntry("home pass", "h", "Home"), CPasswordEntry("work pass", "w", "Work")});
    settings.Save();
  }
  ProgramRunner a = Veilor({"pm"});
  ProgramRunner b = Veilor({"pm"});
  std::string managers[2];
  ProgramRunner* runs[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(runs[i]->Start());
    const std::string prompt = WindowOf(runs[i]->Pid(), "New Dialog");
    ASSERT_FALSE(prompt.empty()) << "no administrator prompt";
    Keys(prompt, "Return");
    managers[i] = WindowOf(runs[i]->Pid(), "Password manager");
    ASSERT_FALSE(managers[i].empty()) << "no password manager";
  }

  // The list has the focus, its first row selected; Remove is the third button.
  Keys(managers[0], "Tab Tab Tab space");
  Confirm(a.Pid(), "Question");
  Keys(managers[0], "Escape");
  EXPECT_EQ(a.Wait(kSeconds), std::optional<int>(0)) << a.StandardError();

  Keys(managers[1], "Down Tab Tab Tab space");
  Confirm(b.Pid(), "Question");
  Keys(managers[1], "Escape");
  Confirm(b.Pid(), "Veilor Error");
  EXPECT_EQ(b.Wait(kSeconds), std::optional<int>(1)) << b.StandardError();

  CSettings settings(SettingsFile());
  for (const int group :
       {CSettings::GroupPList, CSettings::GroupPPrompts, CSettings::GroupPNames}) {
    EXPECT_EQ(settings.DynamicGroupSize(group), 1u) << group;
  }
  EXPECT_EQ(CPasswordManager(settings).LoadEntries(),
            std::vector<CPasswordEntry>{CPasswordEntry("work pass", "w", "Work")});
}

}  // namespace

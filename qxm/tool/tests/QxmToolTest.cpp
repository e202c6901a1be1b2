// The qxm program end to end: install, show, menu and uninstall against a
// private store, exit statuses and messages.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "ToolRunner.h"
#include "support/TempDir.h"

namespace {

class QxmToolTest : public ::testing::Test {
protected:
  QxmToolTest() {
    WriteFileBytes(Tool(), "#!/bin/sh\n");
    WriteFileBytes(dir_ / "icon.ico", "icon");
    ::mkdir(Docs().c_str(), 0700);
  }

  ToolRun Run(const std::vector<std::string>& args, const std::string& store = "store") {
    return RunTool(args, dir_ / store, dir_.Path());
  }
  // Writes a script file and installs it; the run must succeed.
  void Install(const std::string& text) {
    WriteFileBytes(dir_ / "menu.qxm", text);
    const ToolRun run = Run({"install", dir_ / "menu.qxm"});
    ASSERT_EQ(run.status, 0) << run.err;
  }
  std::string Tool() const { return dir_ / "tool"; }
  std::string Docs() const { return dir_ / "docs"; }
  std::string Head() const { return "%1=" + Tool() + "\n%2=" + dir_ / "icon.ico" + "\n"; }
  std::string Nested() const {
    return Head() +
           "0;*;Crypto\\AES;Encrypt;%1;aese %f;h;%2;%2\n"
           "0;aes;Crypto\\AES;Decrypt;%1;aesd %f;h;%2;%2\n"
           "2;*;Crypto;%e;%e;%e;%e;%e;%e\n"
           "0;txt;Crypto;View text;/usr/bin/less;%f;h;%2;%2\n"
           "1;*;Crypto\\Folder;Encrypt folder;%1;aese %f;h;%2;%2\n"
           "0;*;%e;Top command;%1;--top;h;%2;%2\n"
           "2;*;%e;%e;%e;%e;%e;%e;%e\n"
           "0;*;Tools;Checksum;%1;sum %f;h;%2;%2\n";
  }

  TempDir dir_;
};

TEST_F(QxmToolTest, MenuShowsNestedSubmenusSeparatorsAndFilters) {
  Install(Nested());
  const std::string tool = "\"" + Tool() + "\"";
  ToolRun run = Run({"menu", "/data/notes.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "> Tools\n"
            "  Checksum  =>  " +
                tool +
                " sum \"/data/notes.txt\",\n"
                "---\n"
                "> Crypto\n"
                "  > AES\n"
                "    Encrypt  =>  " +
                tool +
                " aese \"/data/notes.txt\",\n"
                "  ---\n"
                "  View text  =>  \"/usr/bin/less\" \"/data/notes.txt\",\n"
                "Top command  =>  " +
                tool + " --top\n");
  EXPECT_EQ(run.err, "");

  run = Run({"menu", Docs()});
  EXPECT_EQ(run.out,
            "---\n"
            "> Crypto\n"
            "  ---\n"
            "  > Folder\n"
            "    Encrypt folder  =>  " +
                tool + " aese \"" + Docs() + "\",\n");

  run = Run({"menu", "/data/a.aes", Docs()});
  EXPECT_EQ(run.out,
            "> Tools\n"
            "  Checksum  =>  " +
                tool + " sum \"/data/a.aes\",\"" + Docs() +
                "\",\n"
                "---\n"
                "> Crypto\n"
                "  > AES\n"
                "    Encrypt  =>  " +
                tool + " aese \"/data/a.aes\",\"" + Docs() +
                "\",\n"
                "    Decrypt  =>  " +
                tool + " aesd \"/data/a.aes\",\"" + Docs() +
                "\",\n"
                "  ---\n"
                "  View text  =>  \"/usr/bin/less\" \"/data/a.aes\",\"" +
                Docs() +
                "\",\n"
                "Top command  =>  " +
                tool + " --top\n");
}

TEST_F(QxmToolTest, MenuPrintsNothingWhenNothingApplies) {
  Install(Head() + "1;*;%e;Folders only;%1;%f;h;%2;%2\n");
  const ToolRun run = Run({"menu", "/data/a.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

TEST_F(QxmToolTest, ShowPrintsTheStoredLinesInLoadingOrder) {
  Install("# not stored\n" + Head() + "%bad\n  0;*;%e;A;%1;x;h;%2;%2\n2;*;%e;%e;%e;%e;%e;%e;%e\n");
  const ToolRun run = Run({"show"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Line0=  0;*;%e;A;%1;x;h;%2;%2\nLine1=2;*;%e;%e;%e;%e;%e;%e;%e\nImg0=%1=" +
                         Tool() + "\nImg1=%2=" + dir_ / "icon.ico" + "\n");
}

TEST_F(QxmToolTest, InstallingAgainReplacesTheWholeStoredScript) {
  Install(Nested());
  Install(Head() + "0;*;%e;Only;%1;x;h;%2;%2\n");
  const ToolRun show = Run({"show"});
  EXPECT_EQ(show.out, "Line0=0;*;%e;Only;%1;x;h;%2;%2\nImg0=%1=" + Tool() +
                          "\nImg1=%2=" + dir_ / "icon.ico" + "\n");
  EXPECT_EQ(Run({"menu", "/a.txt"}).out, "Only  =>  \"" + Tool() + "\" x\n");
}

TEST_F(QxmToolTest, InstallErrorsGoToStandardErrorAndStoreNothing) {
  WriteFileBytes(dir_ / "bad.qxm", Head() + "0;*;%e;A;%1;x;h;%2\n");
  ToolRun run = Run({"install", dir_ / "bad.qxm"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Wrong .qxm file format. Error line:0;*;%e;A;%1;x;h;%2\n");
  run = Run({"show"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "qxm: no script is installed\n");

  run = Run({"install", dir_ / "missing.qxm"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "File '" + dir_ / "missing.qxm" + "' does't exists or used by another process\n");
}

TEST_F(QxmToolTest, ConstantWarningIsPrintedAndTheInstallGoesOn) {
  WriteFileBytes(dir_ / "warn.qxm", Head() + "%9\n0;*;%e;A;%1;x %f;h;%2;%2\n");
  const ToolRun run = Run({"install", dir_ / "warn.qxm"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "Ordal's Context Menu Warning: Wrong .qxm file format. Error in constants section. "
            "Source string: \"9\"\n");
  // Then what the file managers' menus lose of it.
  EXPECT_EQ(run.out.rfind("Installed " + dir_ / "warn.qxm" + ": items 1, constants 2\n", 0), 0u);
}

TEST_F(QxmToolTest, UninstallLeavesAMenuThatCannotLoad) {
  Install(Nested());
  EXPECT_EQ(Run({"uninstall"}).status, 0);
  EXPECT_EQ(Run({"uninstall"}).status, 0);  // nothing left: still no failure
  const ToolRun run = Run({"menu", "/a.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "Error opening registry key for load scripts. Maybe, you forget install COM server.\n"
            " Use: regsvr32 /i:\"...\\QXM.qxm\" QXM.dll\n");
}

TEST_F(QxmToolTest, InstallWritesTheUsersFileManagerMenusWhereXdgSaysAndUninstallTakesThem) {
  const std::vector<std::string> written = {
      "data/nautilus/scripts/Crypto/AES/Encrypt", "data/nemo/actions/qxm-001.nemo_action",
      "data/kio/servicemenus/qxm-01.desktop", "config/Thunar/uca.xml"};
  Install(Nested());
  for (const std::string& path : written) {
    EXPECT_EQ(::access((dir_ / path).c_str(), F_OK), 0) << path;
  }
  EXPECT_EQ(Run({"uninstall"}).status, 0);
  for (const std::string& path : written) {
    EXPECT_NE(::access((dir_ / path).c_str(), F_OK), 0) << path;
  }
  EXPECT_NE(::access((dir_ / "data/nemo").c_str(), F_OK), 0);  // the folders it made go too
}

TEST_F(QxmToolTest, UninstallThatCannotDeleteFailsWithTheReasonAndKeepsTheScript) {
  Install(Nested());
  const std::string before = Run({"show"}).out;
  // A file that the store did not make keeps the key's folder from going.
  WriteFileBytes(dir_ / "store/Software/Ordal context menu/foreign", "x");
  const ToolRun run = Run({"uninstall"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "Error deleting registry key for saving scripts 'Software\\Ordal context menu': "
            "Directory not empty\n");
  EXPECT_EQ(Run({"show"}).out, before);
}

// A real SIGKILL at each step that changes the store: strace stops the
// program at the n-th call of one kind, for every n until a run goes through.
TEST_F(QxmToolTest, KilledInstallLeavesTheOldOrTheNewScriptWhole) {
  if (::access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "needs strace";
  WriteFileBytes(dir_ / "old.qxm", Nested());
  WriteFileBytes(dir_ / "new.qxm", Head() + "0;*;%e;New;%1;n;h;%2;%2\n");
  ASSERT_EQ(Run({"install", dir_ / "new.qxm"}, "reference").status, 0);
  const std::string after = Run({"show"}, "reference").out;
  int run = 0;
  for (const std::string calls :
       {"rename,renameat,renameat2", "unlink,unlinkat,rmdir", "mkdir,mkdirat"}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE("killed at call " + std::to_string(n) + " of " + calls);
      const std::string store = "store" + std::to_string(++run);
      ASSERT_EQ(Run({"install", dir_ / "old.qxm"}, store).status, 0);
      const std::string before = Run({"show"}, store).out;
      const ToolRun killed = RunTool(
          {"install", dir_ / "new.qxm"}, dir_ / store, dir_.Path(),
          // The leak checker of a sanitizer build cannot run under ptrace.
          {"strace", "-qq", "-o", "/dev/null", "-E", "ASAN_OPTIONS=detect_leaks=0", "-e",
           "trace=" + calls, "-e", "inject=" + calls + ":signal=KILL:when=" + std::to_string(n)});
      const std::string shown = Run({"show"}, store).out;
      EXPECT_TRUE(shown == before || shown == after) << shown;
      if (killed.status == 0) {
        EXPECT_EQ(shown, after);
        EXPECT_GT(n, 1) << "never killed";
        break;
      }
      ASSERT_EQ(killed.status, 128 + SIGKILL) << killed.err;
      ASSERT_EQ(Run({"install", dir_ / "new.qxm"}, store).status, 0);
      EXPECT_EQ(Run({"show"}, store).out, after);
    }
  }
}

TEST_F(QxmToolTest, WrongUsageExitsWithTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frobnicate"},
                                             {"install"},
                                             {"install", "a", "b"},
                                             {"uninstall", "x"},
                                             {"show", "x"},
                                             {"menu"}}) {
    const ToolRun run = Run(args);
    EXPECT_EQ(run.status, 2) << (args.empty() ? "(none)" : args[0]);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Usage: qxm"), std::string::npos);
  }
}

TEST_F(QxmToolTest, HelpForEachCommand) {
  for (const std::string command : {"install", "uninstall", "show", "menu"}) {
    const ToolRun run = Run({command, "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: qxm " + command, 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
  }
  const ToolRun run = Run({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("menu PATH..."), std::string::npos);
  EXPECT_FALSE(::access((dir_ / "store").c_str(), F_OK) == 0);  // help touches no store
}

}  // namespace

// What qxm uninstall finds to remove when install did not end well: killed
// half way, a damaged record, two installs at once.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>

#include <gtest/gtest.h>

#include "ToolRunner.h"
#include "support/TempDir.h"

namespace {

class MenuRemovalTest : public ::testing::Test {
protected:
  MenuRemovalTest() { WriteFileBytes(dir_ / "icon.ico", "icon"); }

  ToolRun Run(const std::vector<std::string>& args) {
    return RunTool(args, dir_ / "store", dir_.Path());
  }
  // A script of n entries named after the word, one submenu, each a file of
  // its own for Nautilus and Nemo.
  std::string Many(const std::string& word, int n) const {
    std::string text = "%1=/bin/true\n%2=" + dir_ / "icon.ico" + "\n";
    for (int i = 1; i <= n; ++i)
      text += "0;*;Many;" + word + " " + std::to_string(i) + ";%1;aese %f;h;%2;%2\n";
    return text;
  }
  // The files below the scratch folder's data and config folders, with their
  // content, but for the store's.
  std::map<std::string, std::string> Menus() const {
    std::map<std::string, std::string> files;
    for (const char* top : {"data", "config"}) Collect(dir_ / top, files);
    return files;
  }
  static void Collect(const std::string& folder, std::map<std::string, std::string>& files) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      struct stat status {};
      if (::lstat((folder + "/" + name).c_str(), &status) != 0) continue;
      if (S_ISDIR(status.st_mode)) {
        Collect(folder + "/" + name, files);
      } else {
        files[folder + "/" + name] = ReadFileBytes(folder + "/" + name);
      }
    }
    ::closedir(dir);
  }
  // How many names a folder holds, without reading them: while an install
  // writes there, a temporary may be renamed between the listing and a read.
  static std::size_t CountNames(const std::string& folder) {
    std::size_t count = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
      while (::readdir(dir) != nullptr) ++count;
      ::closedir(dir);
    }
    return count < 2 ? 0 : count - 2;  // less "." and ".."
  }
  // No file of ours, nor an action of ours in Thunar's list.
  void ExpectNoMenuLeft() const {
    for (const auto& [path, content] : Menus()) {
      EXPECT_EQ(path, dir_ / "config/Thunar/uca.xml");
      EXPECT_EQ(content.find("qxm"), std::string::npos) << path;
    }
  }

  TempDir dir_;
};

TEST_F(MenuRemovalTest, UninstallTakesEveryMenuOfOursAfterAKilledInstallOrWithADamagedRecord) {
  WriteFileBytes(dir_ / "many.qxm", Many("Entry", 600));
  const ToolProcess install =
      StartTool({"install", dir_ / "many.qxm"}, dir_ / "store", dir_.Path());
  // Killed once Nautilus's files are being written; Nemo's come next.
  const std::string nautilus = dir_ / "data/nautilus/scripts/Many";
  for (;;) {
    if (CountNames(nautilus) >= 20) break;
    if (::waitpid(install.pid, nullptr, WNOHANG) == install.pid) FAIL() << "install ended early";
    ::usleep(1000);
  }
  ::kill(install.pid, SIGKILL);
  ASSERT_EQ(FinishTool(install).status, 128 + SIGKILL) << "the install ended before the kill";
  ASSERT_FALSE(Menus().empty());
  ToolRun run = Run({"uninstall"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectNoMenuLeft();
  EXPECT_NE(::access((dir_ / "data").c_str(), F_OK), 0);  // the folders it made go too

  WriteFileBytes(dir_ / "few.qxm", Many("Entry", 3));
  ASSERT_EQ(Run({"install", dir_ / "few.qxm"}).status, 0);
  const std::string record = dir_ / "store/Software/qxm file manager menus/.values";
  ASSERT_EQ(::access(record.c_str(), F_OK), 0);
  WriteFileBytes(record, "damaged");
  // And the temporary of a write killed before its first byte, not marked yet.
  WriteFileBytes(dir_ / "data/nemo/actions/qxm-001.nemo_action.4321-0.tmp", "");
  run = Run({"uninstall"});
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectNoMenuLeft();
}

TEST_F(MenuRemovalTest, TwoInstallsAtOnceEndWithTheScriptAndMenusOfOne) {
  WriteFileBytes(dir_ / "alpha.qxm", Many("Alpha", 150));
  WriteFileBytes(dir_ / "bravo.qxm", Many("Bravo", 150));
  const ToolProcess alpha =
      StartTool({"install", dir_ / "alpha.qxm"}, dir_ / "store", dir_.Path(), {}, "alpha");
  const ToolProcess bravo =
      StartTool({"install", dir_ / "bravo.qxm"}, dir_ / "store", dir_.Path(), {}, "bravo");
  EXPECT_EQ(FinishTool(alpha).status, 0);
  EXPECT_EQ(FinishTool(bravo).status, 0);
  const std::string shown = Run({"show"}).out;
  const bool isAlpha = shown.find("Alpha") != std::string::npos;
  const std::string other = isAlpha ? "Bravo" : "Alpha";
  EXPECT_EQ(shown.find(other), std::string::npos);
  std::size_t nemo = 0;
  for (const auto& [path, content] : Menus()) {
    EXPECT_EQ((path + content).find(other), std::string::npos) << path;
    nemo += path.find("/nemo/actions/") != std::string::npos;
  }
  EXPECT_EQ(nemo, 300u);  // an entry for every file: one action for one, one for several

  EXPECT_EQ(Run({"uninstall"}).status, 0);
  ExpectNoMenuLeft();
  std::map<std::string, std::string> store;
  Collect(dir_ / "store", store);
  for (const auto& [path, content] : store) EXPECT_EQ(path.find(".deleted-"), std::string::npos);
}

}  // namespace

// The cipher verbs of the built program, end to end: the password typed into
// the real window through the X server, every file of a folder encrypted and
// decrypted back to the same bytes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "MappedWindows.h"
#include "ProgramInHome.h"
#include "ProgramRunner.h"
#include "TempDir.h"

namespace {

constexpr int kSeconds = 60;

std::map<wxString, std::string> FolderContents(const wxString& folder) {
  std::map<wxString, std::string> contents;
  wxArrayString files;
  wxDir::GetAllFiles(folder, &files, wxEmptyString, wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN);
  for (const wxString& file : files) contents[file] = ReadFileBytes(file);
  return contents;
}

class FileVerbsTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(
        wxFileName::Mkdir(data_ + "/Folder with spaces/Ünterordner", 0755, wxPATH_MKDIR_FULL));
    WriteFileBytes(data_ + "/Folder with spaces/Über café.txt", "Grüße aus Köln\n");
    WriteFileBytes(data_ + "/Folder with spaces/Ünterordner/naïve résumé.pdf",
                   std::string(300000, 'r') + "end");
    WriteFileBytes(data_ + "/Folder with spaces/empty", "");
    WriteFileBytes(data_ + "/single file.bin", std::string(4097, '\x01'));
  }

  ProgramRunner Veilor(const std::string& verb, const wxString& paths) {
    return Veilor({verb, paths.utf8_string()});
  }
  ProgramRunner Veilor(std::vector<std::string> args) {
    return ProgramInHome(home_, std::move(args));
  }

  // Types the password into the password window and confirms, a second
  // time when `twice` (encryption asks again); then closes the report once
  // the batch is done.
  void AnswerPasswordAndCloseReport(const std::string& password, const std::string& report,
                                    bool twice) {
    const std::string prompt = FindVisibleWindow("New Dialog", 30);
    ASSERT_FALSE(prompt.empty()) << "no password window";
    for (int entry = 0; entry < (twice ? 2 : 1); ++entry) {
      FocusWindow(prompt);
      ShellOutput("xdotool type --delay 20 '" + password + "'");
      ShellOutput("xdotool key Return");
    }
    const std::string window = FindVisibleWindow(report, 60);
    ASSERT_FALSE(window.empty()) << "no report";
    PressEnterUntilClosed(report);
  }

  // Settings for a run that needs no window: a stored default password and
  // the report hidden.
  void UseDefaultPasswordWithoutReport(const wxString& password) {
    CSettings settings(home_ + "/.config/Veilor/veilor.ini");
    wxArrayString passwords, prompts, names;
    passwords.Add(ProtectString("another one", 0));
    prompts.Add(ProtectString("", 0));
    names.Add(ProtectString("Other", 0));
    passwords.Add(ProtectString(password, 1));
    prompts.Add(ProtectString("the usual", 1));
    names.Add(ProtectString("Work", 1));
    settings.SetDynamicGroup(CSettings::GroupPList, passwords);
    settings.SetDynamicGroup(CSettings::GroupPPrompts, prompts);
    settings.SetDynamicGroup(CSettings::GroupPNames, names);
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefDecPass, true);
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                       ProtectString("Work", CSettings::FillerDefEncPass));
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefDecPass,
                       ProtectString("Work", CSettings::FillerDefDecPass));
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
    settings.Save();
  }

  TempDir dir_;
  wxString home_ = dir_ / "home";
  wxString data_ = dir_ / "data";
};

TEST_F(FileVerbsTest, TypedPasswordEncryptsAndDecryptsAFolder) {
  const auto original = FolderContents(data_);
  const wxString paths = data_ + "/Folder with spaces," + data_ + "/single file.bin";

  // No shifted letters: under load xdotool now and then drops the shift key,
  // and the password is typed three times per cipher.
  for (const char* verb : {"aese", "des3e"}) {
    SCOPED_TRACE(verb);
    const bool aes = verb[0] == 'a';
    const wxString ext = aes ? ".aes" : ".des3";
    ProgramRunner encrypt = Veilor(verb, paths);
    ASSERT_TRUE(encrypt.Start());
    AnswerPasswordAndCloseReport("s3cret pass word", "Encryption report", /*twice=*/true);
    EXPECT_TRUE(encrypt.Wait(kSeconds).has_value()) << encrypt.StandardError();

    // The sources are removed by default; only encrypted files remain.
    const auto encrypted = FolderContents(data_);
    ASSERT_EQ(encrypted.size(), original.size());
    for (const auto& [path, bytes] : original) {
      ASSERT_EQ(encrypted.count(path + ext), 1u) << path;
      if (!bytes.empty()) {
        EXPECT_NE(encrypted.at(path + ext).substr(0, bytes.size()), bytes);
      }
    }

    wxString encryptedPaths = data_ + "/Folder with spaces," + data_ + "/single file.bin" + ext;
    ProgramRunner decrypt = Veilor(aes ? "aesd" : "des3d", encryptedPaths);
    ASSERT_TRUE(decrypt.Start());
    AnswerPasswordAndCloseReport("s3cret pass word", "Decryption report", /*twice=*/false);
    EXPECT_TRUE(decrypt.Wait(kSeconds).has_value()) << decrypt.StandardError();
    EXPECT_TRUE(FolderContents(data_) == original);
  }
}

TEST_F(FileVerbsTest, DefaultPasswordAndHiddenReportNeedNoWindow) {
  UseDefaultPasswordWithoutReport("stored secret");
  const auto original = FolderContents(data_);

  MappedWindows windows;
  ASSERT_TRUE(windows.Listening());
  ProgramRunner encrypt = Veilor("aese", data_);
  ASSERT_TRUE(encrypt.Start());
  EXPECT_EQ(encrypt.Wait(kSeconds), 0) << encrypt.StandardError();
  EXPECT_EQ(windows.Count(), 0) << "a window was shown during the run";
  const auto encrypted = FolderContents(data_);
  ASSERT_EQ(encrypted.size(), original.size());
  for (const auto& [path, bytes] : original) EXPECT_EQ(encrypted.count(path + ".aes"), 1u);

  ProgramRunner decrypt = Veilor("aesd", data_);
  ASSERT_TRUE(decrypt.Start());
  EXPECT_TRUE(decrypt.Wait(kSeconds).has_value());
  EXPECT_TRUE(FolderContents(data_) == original);
}

TEST_F(FileVerbsTest, CancelledPasswordTouchesNothing) {
  const auto original = FolderContents(data_);
  ProgramRunner encrypt = Veilor("aese", data_);
  ASSERT_TRUE(encrypt.Start());
  const std::string prompt = FindVisibleWindow("New Dialog", 30);
  ASSERT_FALSE(prompt.empty());
  FocusWindow(prompt);
  ShellOutput("xdotool key Escape");
  EXPECT_EQ(encrypt.Wait(kSeconds), 1) << "a cancelled password is not success";
  EXPECT_TRUE(FolderContents(data_) == original);
}

// The selection "a,b.txt" as the context menu passes it: with "a" and
// "b.txt" beside it, only "a,b.txt" is encrypted (and, by default, removed).
// A path that names a file is that file, whole: "notes," is not "notes".
TEST_F(FileVerbsTest, CommaNamesReachTheRightFile) {
  UseDefaultPasswordWithoutReport("stored secret");
  const struct {
    wxString argument;
    wxString encrypted;
    std::vector<const char*> untouched;
  } cases[] = {
      {data_ + "/a,b.txt,", "a,b.txt", {"a", "b.txt"}},
      {data_ + "/notes,", "notes,", {"notes"}},
  };
  for (const auto& c : cases) {
    WriteFileBytes(data_ + "/" + c.encrypted, "secret");
    for (const char* name : c.untouched) WriteFileBytes(data_ + "/" + name, name);
    ProgramRunner encrypt = Veilor("aese", c.argument);
    ASSERT_TRUE(encrypt.Start());
    EXPECT_EQ(encrypt.Wait(kSeconds), 0) << encrypt.StandardError();
    EXPECT_TRUE(wxFileExists(data_ + "/" + c.encrypted + ".aes")) << c.argument;
    EXPECT_FALSE(wxFileExists(data_ + "/" + c.encrypted)) << c.argument;
    for (const char* name : c.untouched) {
      EXPECT_EQ(ReadFileBytes(data_ + "/" + name), name);
      EXPECT_FALSE(wxFileExists(data_ + "/" + name + ".aes")) << name;
    }
  }
}

// A file manager passes each selected path as an argument of its own: a
// name with a comma is then taken whole, whichever argument it is.
TEST_F(FileVerbsTest, SeparateArgumentsAreOnePathEach) {
  UseDefaultPasswordWithoutReport("stored secret");
  for (const char* name : {"a", "a,b.txt", "b.txt", "c d,"}) {
    WriteFileBytes(data_ + "/" + name, name);
  }
  ProgramRunner encrypt =
      Veilor({"aese", (data_ + "/a,b.txt").utf8_string(), (data_ + "/c d,").utf8_string()});
  ASSERT_TRUE(encrypt.Start());
  EXPECT_EQ(encrypt.Wait(kSeconds), 0) << encrypt.StandardError();
  for (const char* name : {"a,b.txt", "c d,"}) {
    EXPECT_TRUE(wxFileExists(data_ + "/" + name + ".aes")) << name;
    EXPECT_FALSE(wxFileExists(data_ + "/" + name)) << name;
  }
  for (const char* name : {"a", "b.txt"}) {
    EXPECT_EQ(ReadFileBytes(data_ + "/" + name), name);
    EXPECT_FALSE(wxFileExists(data_ + "/" + name + ".aes")) << name;
  }
}

// With the report hidden, a file that failed still shows it; the run then
// exits with 1.
TEST_F(FileVerbsTest, FailedFileShowsTheHiddenReport) {
  UseDefaultPasswordWithoutReport("stored secret");
  WriteFileBytes(data_ + "/junk.aes", std::string(48, 'j'));
  ProgramRunner decrypt = Veilor("aesd", data_ + "/junk.aes");
  ASSERT_TRUE(decrypt.Start());
  const std::string report = FindVisibleWindow("Decryption report", 60);
  ASSERT_FALSE(report.empty()) << "the failure was reported nowhere";
  FocusWindow(report);
  ShellOutput("xdotool key Escape");
  EXPECT_EQ(decrypt.Wait(kSeconds), 1);
}

// Started without any locale, as some file managers start programs: names
// are still UTF-8, opened and logged as they are.
TEST_F(FileVerbsTest, NonAsciiNamesWithoutALocale) {
  UseDefaultPasswordWithoutReport("stored secret");
  {
    CSettings settings(home_ + "/.config/Veilor/veilor.ini");
    settings.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, true);
    settings.Save();
  }
  const wxString logDir = home_ + "/.local/state/Veilor/Log";
  const wxString file = data_ + wxString::FromUTF8("/Ü.txt");
  WriteFileBytes(file, "Grüße");

  for (const auto& [verb, path] : {std::pair{"aese", file}, {"aesd", file + ".aes"}}) {
    ProgramRunner runner = Veilor(verb, path);
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) runner.Env(name, std::nullopt);
    ASSERT_TRUE(runner.Start());
    EXPECT_EQ(runner.Wait(kSeconds), 0) << verb;
  }
  EXPECT_EQ(ReadFileBytes(file), "Grüße");
  EXPECT_FALSE(wxFileExists(file + ".aes"));

  wxArrayString logs;
  ASSERT_EQ(wxDir::GetAllFiles(logDir, &logs), 1u);
  const std::string log = ReadFileBytes(logs[0]);
  for (const wxString& path : {file, file + ".aes"}) {
    EXPECT_NE(log.find(" : Done " + path.utf8_string() + "\n"), std::string::npos) << log;
  }
}

// Nothing after the verb is a toolkit option: a file named like one (here
// one that would send the windows to another display) is a file.
TEST_F(FileVerbsTest, ArgumentsLikeToolkitOptionsAreFiles) {
  UseDefaultPasswordWithoutReport("stored secret");
  const char* names[] = {"--display=:160", "--class=x", "other"};
  for (const char* name : names) WriteFileBytes(data_ + "/" + name, name);
  ProgramRunner encrypt = Veilor({"aese", names[0], names[1], names[2]});
  // Relative names, as typed in a terminal in that folder.
  const wxString previous = wxGetCwd();
  ASSERT_TRUE(wxSetWorkingDirectory(data_));
  const bool started = encrypt.Start();
  wxSetWorkingDirectory(previous);
  ASSERT_TRUE(started);
  EXPECT_EQ(encrypt.Wait(kSeconds), 0) << encrypt.StandardError();
  for (const char* name : names) {
    EXPECT_TRUE(wxFileExists(data_ + "/" + name + ".aes")) << name;
    EXPECT_FALSE(wxFileExists(data_ + "/" + name)) << name;
  }
}

// A Linux name is bytes: a Latin-1 name, one with a sequence that is no
// UTF-8 and one with a line break, given as arguments and met in a folder,
// are encrypted and decrypted back, and the log names each on one line,
// escaped.
TEST_F(FileVerbsTest, NamesThatAreNotTextAreProcessedAndLoggedEscaped) {
  UseDefaultPasswordWithoutReport("stored secret");
  {
    CSettings settings(home_ + "/.config/Veilor/veilor.ini");
    settings.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, true);
    settings.Save();
  }
  const std::string data = data_.utf8_string() + "/bytes";
  ASSERT_EQ(::mkdir(data.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((data + "/sub").c_str(), 0755), 0);
  const struct {
    std::string name;
    std::string shown;
  } files[] = {
      {"/\xe9t\xe9.txt", "/\\xE9t\\xE9.txt"},
      {"/g\xf4\x90\x80\x80h", "/g\\xF4\\x90\\x80\\x80h"},
      {"/sub/\xe9t\xe9", "/sub/\\xE9t\\xE9"},
      {"/sub/g\xf4\x90\x80\x80h", "/sub/g\\xF4\\x90\\x80\\x80h"},
      {"/sub/two\nlines", "/sub/two\\x0Alines"},
  };
  const auto write = [](const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(bytes.c_str(), file);
    std::fclose(file);
  };
  const auto read = [](const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
      for (int c; (c = std::fgetc(file)) != EOF;) bytes += static_cast<char>(c);
      std::fclose(file);
    }
    return bytes;
  };
  for (const auto& file : files) write(data + file.name, file.name);

  for (const char* verb : {"aese", "aesd"}) {
    const std::string ext = verb == std::string("aese") ? "" : ".aes";
    ProgramRunner runner =
        Veilor({verb, data + files[0].name + ext, data + files[1].name + ext, data + "/sub"});
    ASSERT_TRUE(runner.Start());
    EXPECT_EQ(runner.Wait(kSeconds), 0) << verb << runner.StandardError();
    for (const auto& file : files) {
      EXPECT_EQ(::access((data + file.name + ".aes").c_str(), F_OK) == 0, ext.empty())
          << verb << " " << file.shown;
    }
  }
  for (const auto& file : files) EXPECT_EQ(read(data + file.name), file.name) << file.shown;

  wxArrayString logs;
  ASSERT_EQ(wxDir::GetAllFiles(home_ + "/.local/state/Veilor/Log", &logs), 1u);
  const std::string log = ReadFileBytes(logs[0]);
  for (const auto& file : files) {
    for (const std::string ext : {"", ".aes"}) {
      EXPECT_NE(log.find(" : Done " + data + file.shown + ext + "\n"), std::string::npos)
          << file.shown << ext << "\n"
          << log;
    }
  }
  // Two runs: the start and five files each, one line apiece.
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 12) << log;
}

// With overwriting on, a file named twice (as an argument and inside its
// folder) is processed once, and the run went right.
TEST_F(FileVerbsTest, FileNamedTwiceIsProcessedOnce) {
  UseDefaultPasswordWithoutReport("stored secret");
  {
    CSettings settings(home_ + "/.config/Veilor/veilor.ini");
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemOverwriteExistingFiles, true);
    settings.Save();
  }
  const wxString file = data_ + "/single file.bin";
  ProgramRunner encrypt =
      Veilor({"aese", file.utf8_string(), file.utf8_string(), data_.utf8_string()});
  ASSERT_TRUE(encrypt.Start());
  EXPECT_EQ(encrypt.Wait(kSeconds), 0) << encrypt.StandardError();
  EXPECT_TRUE(wxFileExists(file + ".aes"));
  EXPECT_FALSE(wxFileExists(file));
}

// A toolkit assertion met during a batch (made by a preloaded module each
// time a folder is read) becomes a line in the log: no window appears and
// the batch goes on.
TEST_F(FileVerbsTest, ToolkitAssertionIsLoggedNotShown) {
  UseDefaultPasswordWithoutReport("stored secret");
  {
    CSettings settings(home_ + "/.config/Veilor/veilor.ini");
    settings.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, true);
    settings.Save();
  }
  MappedWindows windows;
  ASSERT_TRUE(windows.Listening());
  ProgramRunner encrypt = Veilor("aese", data_);
  encrypt.Env("LD_PRELOAD", VEILOR_FAILING_ASSERTION);
  ASSERT_TRUE(encrypt.Start());
  EXPECT_EQ(encrypt.Wait(kSeconds), 0) << encrypt.StandardError();
  EXPECT_EQ(windows.Count(), 0) << "a window was shown during the run";
  EXPECT_TRUE(wxFileExists(data_ + "/single file.bin.aes"));
  wxArrayString logs;
  ASSERT_EQ(wxDir::GetAllFiles(home_ + "/.local/state/Veilor/Log", &logs), 1u);
  EXPECT_NE(ReadFileBytes(logs[0]).find("an assertion made by the test"), std::string::npos);
}
}  // namespace

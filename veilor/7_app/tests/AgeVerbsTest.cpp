// The age verbs of the built program: files that the real `age` opens and
// files it made, tampering that must never yield a byte of output, and a run
// killed while it decrypts. A stored default password and the report hidden
// (a failure shows the report, which the test then closes).
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include <wx/filefn.h>
#include <wx/filename.h>

#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "ProgramInHome.h"
#include "ProgramRunner.h"
#include "TempDir.h"

namespace {
using namespace std::chrono_literals;

constexpr int kSeconds = 120;
constexpr std::size_t kChunk = 64 * 1024;
// Stored passwords are kept in Windows-1252, so the stored one stays in it;
// age takes its UTF-8 bytes.
const wxString kPassword = wxString::FromUTF8("pässwörd 1");

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return bytes;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::set<std::string> Names(const wxString& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.fn_str());
  while (dirent* entry = dir ? readdir(dir) : nullptr) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.insert(name);
  }
  if (dir) closedir(dir);
  return names;
}

class AgeVerbsTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(std::system("age --version >/dev/null 2>&1"), 0) << "the age package is missing";
    ASSERT_TRUE(wxFileName::Mkdir(home_ + "/.config/Veilor", 0700, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(wxFileName::Mkdir(data_, 0700, wxPATH_MKDIR_FULL));
    CSettings settings(home_ + "/.config/Veilor/veilor.ini");
    const auto one = [](const wxString& text) {
      wxArrayString list;
      list.Add(ProtectString(text, 0));
      return list;
    };
    settings.SetDynamicGroup(CSettings::GroupPList, one(kPassword));
    settings.SetDynamicGroup(CSettings::GroupPPrompts, one(""));
    settings.SetDynamicGroup(CSettings::GroupPNames, one("Work"));
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefDecPass, true);
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                       ProtectString("Work", CSettings::FillerDefEncPass));
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefDecPass,
                       ProtectString("Work", CSettings::FillerDefDecPass));
    settings.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
    // Fast derivations: the tests make many files.
    settings.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAgeWorkFactor, "10");
    settings.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, true);
    settings.Save();
  }

  ProgramRunner Veilor(const std::string& verb, const wxString& path) {
    return ProgramInHome(home_, {verb, path.utf8_string()});
  }

  // Runs a verb to its end; a failed file shows the report, which is closed.
  std::optional<int> Run(const std::string& verb, const wxString& path, bool fails = false) {
    ProgramRunner run = Veilor(verb, path);
    EXPECT_TRUE(run.Start());
    if (fails) {
      const bool encrypts = verb == "agee";
      PressEnterUntilClosed(encrypts ? "Encryption report" : "Decryption report");
    }
    const std::optional<int> status = run.Wait(kSeconds);
    EXPECT_TRUE(status.has_value()) << run.StandardError();
    return status;
  }

  // What the day's log says.
  std::string Log() {
    const std::string folder = (home_ + "/.local/state/Veilor/Log").utf8_string();
    return ShellOutput("cat " + Quote(folder) + "/* 2>/dev/null");
  }

  // Runs the real age, typing the password at its prompts.
  int Age(const std::string& arguments) {
    setenv("AGE_TEST_PASSPHRASE", kPassword.utf8_string().c_str(), 1);
    return std::system(
        ("python3 " + Quote(AGE_PTY_SCRIPT) + " age " + arguments + " 2>/dev/null").c_str());
  }

  std::string At(const std::string& name) { return (data_ + "/" + name).utf8_string(); }

  TempDir dir_;
  wxString home_ = dir_ / "home";
  wxString data_ = dir_ / "data";
};

TEST_F(AgeVerbsTest, AgeOpensWhatVeilorSealsAndVeilorOpensWhatAgeSeals) {
  const std::map<std::string, std::string> files{{"empty", ""},
                                                 {"one", "x"},
                                                 {"chunk", Pattern(kChunk)},
                                                 {"three chunks and one", Pattern(3 * kChunk + 1)},
                                                 {"Grüße.txt", "Grüße aus Köln\n"}};
  for (const auto& [name, bytes] : files) WriteFileBytes(At(name), bytes);
  ASSERT_EQ(Run("agee", data_), 0);
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(wxFileExists(At(name))) << "the source stays";
    ASSERT_EQ(Age("-d -o " + Quote(At(name)) + " " + Quote(At(name + ".age"))), 0);
    EXPECT_TRUE(ReadFileBytes(At(name)) == bytes);
    ASSERT_TRUE(wxRemoveFile(At(name + ".age")));
  }

  // age -p with its own work factor (18): veilor derives the same key.
  ASSERT_EQ(Age("-p -o " + Quote(At("theirs.age")) + " " + Quote(At("chunk"))), 0);
  ASSERT_TRUE(wxRemoveFile(At("chunk")));
  ASSERT_EQ(Run("aged", At("theirs.age")), 0);
  EXPECT_TRUE(ReadFileBytes(At("theirs")) == files.at("chunk"));
  EXPECT_FALSE(wxFileExists(At("theirs.age")));
}

// Each damage leaves no output, the source as it was, a row that says what
// was found, and exit status 1.
TEST_F(AgeVerbsTest, DamagedFileReleasesNothing) {
  WriteFileBytes(At("plain"), Pattern(3 * kChunk + 100));
  ASSERT_EQ(Run("agee", At("plain")), 0);
  const std::string sealed = ReadFileBytes(At("plain.age"));
  // The payload: after the header's MAC line and the 16-byte nonce.
  const std::size_t macLine = sealed.find("\n--- ") + 1;
  ASSERT_NE(macLine, 0u);
  const std::size_t payload = sealed.find('\n', macLine) + 1 + 16;
  const std::size_t sealedChunk = kChunk + 16;
  struct Damage {
    const char* what;
    std::string bytes;
    const char* row;
  };
  std::string flipped = sealed;
  flipped[payload + sealedChunk + kChunk / 2] ^= 0x01;
  std::string header = sealed;
  header[macLine + 4] = header[macLine + 4] == 'A' ? 'B' : 'A';
  const Damage damages[] = {
      {"a byte changed in the second chunk", flipped, "changed after it was encrypted"},
      {"cut at a chunk boundary", sealed.substr(0, payload + 2 * sealedChunk), "cut short"},
      {"a chunk appended", sealed + sealed.substr(payload, sealedChunk),
       "changed after it was encrypted"},
      {"a changed header", header, "changed after it was encrypted"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    WriteFileBytes(At("copy.age"), damage.bytes);
    EXPECT_EQ(Run("aged", At("copy.age"), /*fails=*/true), 1);
    EXPECT_EQ(Names(data_), (std::set<std::string>{"copy.age", "plain.age"}));
    EXPECT_TRUE(ReadFileBytes(At("copy.age")) == damage.bytes);
    EXPECT_NE(Log().find(std::string(damage.row)), std::string::npos) << Log();
  }
}

TEST_F(AgeVerbsTest, AgeFilesAreNotSealedTwiceAndKeyFilesSaySo) {
  WriteFileBytes(At("notes"), "notes");
  ASSERT_EQ(Run("agee", At("notes")), 0);
  // Renamed, it is still recognised by its first line and kept as it is.
  ASSERT_TRUE(wxRenameFile(At("notes.age"), At("notes.bin")));
  EXPECT_EQ(Run("agee", At("notes.bin")), 0);
  EXPECT_EQ(Names(data_), (std::set<std::string>{"notes.bin"}));
  EXPECT_NE(Log().find("Already an age file"), std::string::npos);

  const std::string key = At("key.txt");
  ASSERT_EQ(std::system(("age-keygen -o " + Quote(key) + " 2>/dev/null").c_str()), 0);
  ASSERT_EQ(std::system(("age -e -i " + Quote(key) + " -o " + Quote(At("keyed.age")) + " " +
                         Quote(At("notes.bin")))
                            .c_str()),
            0);
  EXPECT_EQ(Run("aged", At("keyed.age"), /*fails=*/true), 1);
  EXPECT_FALSE(wxFileExists(At("keyed")));
  EXPECT_NE(Log().find("encrypted for recipients' keys"), std::string::npos);
}

// Killed once its output has begun, a decryption leaves only its source.
TEST_F(AgeVerbsTest, KilledDecryptionLeavesNothing) {
  WriteFileBytes(At("big"), Pattern(64 << 20));
  ASSERT_EQ(Run("agee", At("big")), 0);
  const std::string sealed = ReadFileBytes(At("big.age"));
  int killedMidway = 0;
  for (int attempt = 0; attempt < 3 && killedMidway == 0; ++attempt) {
    ProgramRunner run = Veilor("aged", At("big.age"));
    ASSERT_TRUE(run.Start());
    // The output under way is a temporary file beside the source, named or
    // not: the process then holds a second file of the folder open.
    const auto ended = [&] {
      std::string pid, command, state;
      std::ifstream stat("/proc/" + std::to_string(run.Pid()) + "/stat");
      return !(stat >> pid >> command >> state) || state == "Z";
    };
    const auto holdsAnOutput = [&] {
      const std::string fds = "/proc/" + std::to_string(run.Pid()) + "/fd";
      const std::string folder = data_.utf8_string() + "/";
      bool found = false;
      DIR* dir = opendir(fds.c_str());
      while (dirent* entry = dir ? readdir(dir) : nullptr) {
        char target[4096];
        const ssize_t length = readlink((fds + "/" + entry->d_name).c_str(), target, sizeof target);
        const std::string path = length > 0 ? std::string(target, length) : std::string();
        found = found || (path.rfind(folder, 0) == 0 && path != At("big.age"));
      }
      if (dir) closedir(dir);
      return found;
    };
    bool writing = false;
    while (!writing && !ended()) {
      writing = holdsAnOutput();
      std::this_thread::sleep_for(1ms);
    }
    if (writing) {
      kill(run.Pid(), SIGKILL);
      killedMidway += run.Wait(kSeconds).has_value() ? 0 : 1;
    }
    if (wxFileExists(At("big"))) {
      // Ended by itself before it was caught: start again from the source.
      ASSERT_TRUE(ReadFileBytes(At("big")) == Pattern(64 << 20));
      ASSERT_TRUE(wxRemoveFile(At("big")));
      WriteFileBytes(At("big.age"), sealed);
      continue;
    }
    EXPECT_EQ(Names(data_), std::set<std::string>{"big.age"});
    EXPECT_TRUE(ReadFileBytes(At("big.age")) == sealed);
  }
  EXPECT_GT(killedMidway, 0) << "every run ended before it was killed";
}

}  // namespace

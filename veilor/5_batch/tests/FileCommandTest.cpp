// Batches as the program runs them, with a recording prompt and report in
// place of the windows: key, file list, report rows.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "1_base/Exceptions.h"
#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"
#include "1_base/Utf8Names.h"
#include "2_crypto/PasswordKey.h"
#include "2_crypto/ProtectedString.h"
#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "5_batch/BatchPasswordPrompt.h"
#include "5_batch/BatchReportSink.h"
#include "5_batch/FileCommand.h"
#include "5_batch/Logger.h"
#include "TempDir.h"

namespace {

// Answers the password prompt with a fixed text (or cancels) and records
// what the batch asked and pointed out.
class RecordingPrompt : public CBatchPasswordPrompt {
public:
  std::optional<wxString> AskPassword(const wxString& prompt, bool offerStored,
                                      bool askTwice) override {
    prompts.push_back(prompt);
    offeredStored = offerStored;
    askedTwice.push_back(askTwice);
    return answer;
  }
  void Warn(const wxString& text) override { warnings.push_back(text); }

  std::optional<wxString> answer;
  std::vector<wxString> prompts;
  bool offeredStored = false;
  std::vector<bool> askedTwice;
  std::vector<wxString> warnings;
};

// Records what the batch reports.
class RecordingReport : public CBatchReportSink {
public:
  struct Row {
    wxString file, status, description;
  };

  void Begin(const wxString& reportTitle) override {
    title = reportTitle;
    rows.clear();
    shownBusy = finished = ended = false;
    steps = 0;
  }
  void ShowBusy() override { shownBusy = true; }
  long AddRow(const wxString& path) override {
    rows.push_back({path, "", ""});
    return static_cast<long>(rows.size()) - 1;
  }
  void SetFileSizes(std::vector<std::uint64_t> fileSizes) override { sizes = std::move(fileSizes); }
  bool StopRequested() const override { return stopAtStep >= 0 && steps >= stopAtStep; }
  void Progress(int) override { ++steps; }
  void Note(long row, const wxString& text) override { notes.emplace_back(row, text); }
  void SetResult(long row, const wxString& status, const wxString& description) override {
    rows.at(static_cast<std::size_t>(row)).status = status;
    rows.at(static_cast<std::size_t>(row)).description = description;
  }
  void Finish() override { finished = true; }
  void End() override { ended = true; }

  wxString title;
  std::vector<Row> rows;
  bool shownBusy = false;
  bool finished = false;  // shown for the user to read
  bool ended = false;
  int steps = 0;
  std::vector<std::uint64_t> sizes;
  int stopAtStep = -1;  // the user asks to stop once this many steps are done
  std::vector<std::pair<long, wxString>> notes;
};

class FileCommandTest : public testing::Test {
protected:
  FileCommandTest() {
    settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterEncryption,
                      false);
    settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterDecryption,
                      false);
    WriteFileBytes(dir_ / "a.txt", "alpha");
    WriteFileBytes(dir_ / "b.txt", "beta");
  }

  // A command whose password prompt answers with `password` (or cancels).
  CFileCommand Command(const wxString& pathList, std::optional<wxString> password) {
    prompt_.answer = std::move(password);
    return CFileCommand(wxArrayString(1, &pathList), settings_, logger_, passwords_, prompt_,
                        report_);
  }

  TempDir dir_;
  TempDir home_;
  CSettings settings_{home_ / "veilor.ini"};
  CLogger logger_{settings_, home_ / "Log", home_ / "Log2", CLogger::ShowBox()};
  CPasswordManager passwords_{settings_};
  RecordingPrompt prompt_;
  RecordingReport report_;
};

// "a.txt," names nothing: it is a row of its own, never "a.txt".
TEST_F(FileCommandTest, EveryListEntryGetsARowInOrder) {
  WriteFileBytes(dir_ / "c.txt", "gamma");
  Command(dir_ / "c.txt," + dir_ / "a.txt,," + dir_ / "b.txt,", wxString("pw")).EncryptAes();

  EXPECT_TRUE(report_.shownBusy);
  EXPECT_TRUE(report_.finished);
  EXPECT_TRUE(report_.ended);
  EXPECT_EQ(report_.title, "Encryption report");
  EXPECT_EQ(report_.steps, 200) << "a hundred steps for each of the two files";
  ASSERT_EQ(report_.rows.size(), 3u);
  EXPECT_EQ(report_.rows[0].file, dir_ / "c.txt");
  EXPECT_EQ(report_.rows[0].status, "Done");
  EXPECT_EQ(report_.rows[1].file, dir_ / "a.txt,");
  EXPECT_EQ(report_.rows[1].status, "Invalid file or folder");
  EXPECT_EQ(report_.rows[2].status, "Done");
  EXPECT_FALSE(wxFileExists(dir_ / "a.txt.aes"));
  EXPECT_EQ(prompt_.prompts, std::vector<wxString>{"Please enter password for AES encryption"});
  EXPECT_TRUE(wxFileExists(dir_ / "c.txt.aes"));
  EXPECT_TRUE(wxFileExists(dir_ / "c.txt")) << "removal was switched off";
}

TEST_F(FileCommandTest, LeadingCommaAndEmptyArgument) {
  Command("," + dir_ / "a.txt", wxString("pw")).EncryptDes3();
  ASSERT_EQ(report_.rows.size(), 2u);
  EXPECT_EQ(report_.rows[0].status, "Invalid file or folder");
  EXPECT_EQ(report_.rows[1].status, "Done");

  Command("", wxString("pw")).DecryptDes3();
  EXPECT_TRUE(report_.finished) << "an empty list still shows its report";
  EXPECT_TRUE(report_.rows.empty());
  EXPECT_EQ(report_.title, "Decryption report");
}

TEST_F(FileCommandTest, CancelledPasswordEndsSilently) {
  Command(dir_ / "a.txt", std::nullopt).EncryptAes();
  EXPECT_FALSE(report_.shownBusy);
  EXPECT_FALSE(report_.finished);
  EXPECT_TRUE(report_.ended);
  EXPECT_TRUE(report_.rows.empty());
  EXPECT_FALSE(wxFileExists(dir_ / "a.txt.aes"));
  EXPECT_TRUE(prompt_.warnings.empty());
}

// A password the key cannot hold ends the batch before any file is touched.
TEST_F(FileCommandTest, OverlongPasswordIsAKeyLengthError) {
  try {
    Command(dir_ / "a.txt", wxString("seventeen chars!!")).EncryptDes3();
    ADD_FAILURE() << "no exception";
  } catch (const CFSVeilorException& error) {
    EXPECT_EQ(error.GetMessage(), "Wrong Triple DES key lenght");
    EXPECT_EQ(error.GetModule(), "File System module exception");
  }
  EXPECT_EQ(prompt_.warnings,
            std::vector<wxString>{"Password is to long for current encryption alghorithm"});
  EXPECT_TRUE(report_.ended) << "the report ends also when the batch fails";
  EXPECT_FALSE(wxFileExists(dir_ / "a.txt.des3"));
}

// A typo in an encryption password would leave only files nobody can open:
// encryption asks for it twice, decryption once.
TEST_F(FileCommandTest, OnlyTypedEncryptionPasswordsAreAskedTwice) {
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
  CFileCommand command = Command(dir_ / "a.txt", wxString("pw"));
  for (auto direction : {CFileCommand::Direction::Encrypt, CFileCommand::Direction::Decrypt}) {
    EXPECT_EQ(command.ObtainKey(direction, "prompt", 16).status, CFileCommand::KeyObtained);
  }
  Command(dir_ / "a.txt", wxString("pw")).EncryptDes3();
  ASSERT_TRUE(wxRemoveFile(dir_ / "a.txt"));
  Command(dir_ / "a.txt.des3", wxString("pw")).DecryptDes3();
  EXPECT_EQ(ReadFileBytes(dir_ / "a.txt"), "alpha");
  EXPECT_EQ(prompt_.askedTwice, std::vector<bool>({true, false, true, false}));
}

// A character the key's code page lacks gets its own message, not the
// key-length error; a stored default with one is pointed out and the user
// is asked instead.
TEST_F(FileCommandTest, PasswordTheKeyCannotHoldHasItsOwnMessage) {
  const wxString kNotInCodePage = wxString::FromUTF8("\xC5\xBC");
  try {
    Command(dir_ / "a.txt", kNotInCodePage).EncryptAes();
    ADD_FAILURE() << "no exception";
  } catch (const CFSVeilorException& error) {
    EXPECT_EQ(error.GetMessage(),
              "The password contains a character that can't be part of an encryption key. "
              "Please use another password.");
  }
  EXPECT_TRUE(prompt_.warnings.empty());
  EXPECT_FALSE(wxFileExists(dir_ / "a.txt.aes"));

#ifndef _WIN32
  // The stored list no longer takes such a password, but earlier builds for
  // Linux stored one in UTF-8 ("Zażółć"), which still reads.
  prompt_.prompts.clear();
  passwords_.StoreEntries({CPasswordEntry("x", "", "Work")});
  settings_.SetDynamicGroup(
      CSettings::GroupPList,
      wxArrayString(
          1, wxString("9F1C3FB2118376C6E9D8CED847CBEEC71688E1818E107DD54D1B75DE7E5730CF66B8545B"
                      "95F2069AFE35304971B88E2848AA75AE7187DC2560EF4BCDCB71D0F5D70F1E772457916B"
                      "BA1A293D976DE70E9C7429373B9DAB373260EA5C1C67E0F2FC3A8B1CCB55B306950435EE"
                      "033C196A58DEB71FE3D244F33112C072D3A6929C72D1CECA")));
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                      ProtectString("Work", CSettings::FillerDefEncPass));
  const CFileCommand::KeyResult key = Command(dir_ / "a.txt", wxString::FromUTF8("M\xC3\xBCller"))
                                          .ObtainKey(CFileCommand::Direction::Encrypt, "p", 16);
  EXPECT_EQ(key.keyText, "4DFC6C6C657202020202020202020202");
  EXPECT_EQ(prompt_.warnings, std::vector<wxString>{Msg(msg::PasswordNotRepresentable)});
  EXPECT_EQ(prompt_.prompts.size(), 1u);
#endif
}

// The empty password's key is known to everyone: encryption refuses it,
// typed or stored (the user is asked instead); decryption may still try it.
TEST_F(FileCommandTest, EmptyPasswordIsRefusedForEncryptionOnly) {
  const wxString kRefused = "Entered password is empty. Please enter valid password";
  CFileCommand typed = Command(dir_ / "a.txt", wxString());
  typed.EncryptAes();
  EXPECT_FALSE(typed.Succeeded());
  EXPECT_TRUE(report_.rows.empty());
  EXPECT_FALSE(wxFileExists(dir_ / "a.txt.aes"));
  EXPECT_EQ(prompt_.warnings, std::vector<wxString>{kRefused});

  passwords_.StoreEntries({CPasswordEntry("", "", "Blank")});
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefEncPass, true);
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefEncPass,
                      ProtectString("Blank", CSettings::FillerDefEncPass));
  const CFileCommand::KeyResult stored =
      Command(dir_ / "a.txt", wxString("pw")).ObtainKey(CFileCommand::Direction::Encrypt, "p", 16);
  EXPECT_EQ(stored.keyText, KeyFromPassword("pw", 16).keyText);
  EXPECT_EQ(prompt_.warnings, std::vector<wxString>(2, kRefused));
  EXPECT_EQ(prompt_.prompts.size(), 2u) << "the user is asked instead of the stored default";

  const CFileCommand::KeyResult decrypting =
      Command(dir_ / "a.txt", wxString()).ObtainKey(CFileCommand::Direction::Decrypt, "p", 16);
  EXPECT_EQ(decrypting.status, CFileCommand::KeyObtained);
  EXPECT_EQ(decrypting.keyText, KeyFromPassword(wxString(), 16).keyText);
}

TEST_F(FileCommandTest, DefaultPasswordAndHiddenReport) {
  passwords_.StoreEntries({CPasswordEntry("stored", "", "Work")});
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemUseDefDecPass, true);
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemDefDecPass,
                      ProtectString("Work", CSettings::FillerDefDecPass));
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemChooseEncPass, true);

  Command(dir_ / "a.txt", wxString("stored")).EncryptAes();  // asked: no default for encryption
  EXPECT_EQ(prompt_.prompts.size(), 1u);
  EXPECT_TRUE(prompt_.offeredStored);
  ASSERT_TRUE(wxRemoveFile(dir_ / "a.txt"));

  Command(dir_ / "a.txt.aes", std::nullopt).DecryptAes();  // not asked: the default is used
  EXPECT_EQ(prompt_.prompts.size(), 1u);
  EXPECT_FALSE(report_.shownBusy);
  EXPECT_FALSE(report_.finished);
  EXPECT_EQ(report_.rows.size(), 1u) << "a hidden report is filled all the same";
  EXPECT_EQ(ReadFileBytes(dir_ / "a.txt"), "alpha");

  // A default that names no stored password any more: the user is asked.
  passwords_.StoreEntries({});
  ASSERT_TRUE(wxRemoveFile(dir_ / "a.txt"));
  Command(dir_ / "a.txt.aes", wxString("stored")).DecryptAes();
  EXPECT_EQ(prompt_.prompts.size(), 2u);
  EXPECT_EQ(prompt_.prompts.back(), "Please enter password for AES decryption");
  EXPECT_EQ(ReadFileBytes(dir_ / "a.txt"), "alpha");
}

// A hidden report stays hidden only while every file ends "Done" or
// "Skipped": a failure must be seen somewhere even with logging off.
TEST_F(FileCommandTest, HiddenReportAppearsWhenAFileFails) {
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemHideReportDlg, true);
  WriteFileBytes(dir_ / "a.txt.aes", "");
  WriteFileBytes(dir_ / "c.txt", "gamma");
  WriteFileBytes(dir_ / "d.txt", "delta");
  const struct {
    wxString list;
    bool failed;
  } cases[] = {
      {dir_ / "a.txt," + dir_ / "b.txt", false},  // a.txt is skipped: its output exists
      {dir_ / "c.txt," + dir_ / "missing", true},
      {dir_ / "d.txt," + dir_ / "photos,2024/img.jpg", true},
  };
  for (const auto& c : cases) {
    CFileCommand command = Command(c.list, wxString("pw"));
    command.EncryptAes();
    EXPECT_FALSE(report_.shownBusy) << c.list;
    EXPECT_EQ(report_.finished, c.failed) << c.list;
    EXPECT_EQ(command.Succeeded(), !c.failed) << c.list;
    ASSERT_EQ(report_.rows.size(), 2u);
    if (c.failed) {
      EXPECT_EQ(report_.rows[0].status, "Done");
      EXPECT_NE(report_.rows[1].status, "Done");
    }
  }
}

// A batch of several files writes two at once: the outputs are the bytes
// the single-file procedures give, and the rows keep the batch's order.
TEST_F(FileCommandTest, FilesWrittenTwoAtOnceMatchOneAtATime) {
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterEncryption, true);
  const std::size_t sizes[] = {0, 5, 300000, (1 << 20) + 3, 7, 64, 150001, 8};
  TempDir alone;
  wxString list;
  std::vector<wxString> expectedRows;
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    std::string bytes(sizes[i], '\0');
    for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<char>(k * 7 + i);
    const wxString name = wxString::Format("%zu.txt", i);
    WriteFileBytes(dir_ / name, bytes);
    WriteFileBytes(alone / name, bytes);
    list += dir_ / name + ",";
    expectedRows.push_back(dir_ / name);
    if (i == 3) {
      list += dir_ / "missing,";
      expectedRows.push_back(dir_ / "missing");
    }
  }
  WriteFileBytes(dir_ / "4.txt.des3", "older");  // that file is skipped

  Command(list, wxString("pw")).EncryptDes3();
  std::vector<wxString> rows;
  for (const auto& row : report_.rows) rows.push_back(row.file);
  EXPECT_EQ(rows, expectedRows);
  FileContext context;
  context.keyText = KeyFromPassword("pw", 16).keyText;
  context.overwriteExisting = [] { return false; };
  context.removeSource = [] { return false; };
  for (std::size_t i = 0, row = 0; i < std::size(sizes); ++i, ++row) {
    const wxString name = wxString::Format("%zu.txt", i);
    SCOPED_TRACE(name);
    if (i == 4) {
      EXPECT_EQ(report_.rows[row].status, "Skipped");
      EXPECT_EQ(ReadFileBytes(dir_ / "4.txt.des3"), "older");
    } else {
      EXPECT_EQ(report_.rows[row].status, "Done");
      ASSERT_EQ(EncryptFileDes3(alone / name, context).status, "Done");
      EXPECT_EQ(ReadFileBytes(dir_ / name + ".des3"), ReadFileBytes(alone / name + ".des3"));
      EXPECT_FALSE(wxFileExists(dir_ / name)) << "the source is removed";
    }
    if (i == 3) {
      EXPECT_EQ(report_.rows[++row].status, "Invalid file or folder");
    }
  }
  EXPECT_EQ(report_.steps, 100 * 7) << "a hundred steps for each file written";
}

// Stopped in the middle of the second file: the first is done, the second
// keeps its source and leaves no output, the rest are not processed, and the
// report still finishes.
TEST_F(FileCommandTest, StopAbandonsTheFileInWorkAndReportsTheRest) {
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterEncryption, true);
  for (bool des3 : {false, true}) {
    TempDir dir;
    const std::string texts[] = {"alpha", "beta", "gamma", "delta"};
    wxString list;
    for (int i = 0; i < 4; ++i) {
      WriteFileBytes(dir / wxString::Format("%d.txt", i), texts[i]);
      list += dir / wxString::Format("%d.txt,", i);
    }
    report_.stopAtStep = 150;
    CFileCommand command = Command(list, wxString("pw"));
    des3 ? command.EncryptDes3() : command.EncryptAes();

    const wxString ext = des3 ? ".des3" : ".aes";
    EXPECT_EQ(report_.sizes, (std::vector<std::uint64_t>{5, 4, 5, 5}));
    EXPECT_EQ(report_.steps, 150) << "the second file is left at the step the stop came";
    ASSERT_EQ(report_.rows.size(), 4u);
    EXPECT_EQ(report_.rows[0].status, "Done");
    EXPECT_EQ(report_.rows[1].status, "Incomplete");
    EXPECT_EQ(report_.rows[1].description,
              "Stopped: no output was written and the source was kept");
    for (int i : {2, 3}) {
      EXPECT_EQ(report_.rows[i].file, dir / wxString::Format("%d.txt", i));
      EXPECT_EQ(report_.rows[i].status, "Stopped");
      EXPECT_EQ(report_.rows[i].description,
                "Not processed: the batch was stopped before this file");
    }
    EXPECT_TRUE(report_.finished);
    EXPECT_FALSE(command.Succeeded());
    wxArrayString left;
    wxDir::GetAllFiles(dir.Path(), &left);
    left.Sort();
    EXPECT_EQ(left, wxArrayString(4, std::array<wxString, 4>{dir / ("0.txt" + ext), dir / "1.txt",
                                                             dir / "2.txt", dir / "3.txt"}
                                         .data()))
        << "the first file encrypted and removed, no output or temporary file of the second";
    for (int i = 1; i < 4; ++i) {
      EXPECT_EQ(ReadFileBytes(dir / wxString::Format("%d.txt", i)), texts[i]);
    }
  }
}

#ifndef _WIN32
// A folder's link and pipe get rows that say they were not processed; the
// pipe does not hold up the batch, and nothing is removed. (Devices, which
// only the superuser can make, are refused the same way by the procedures:
// FileSafetyTest.DevicesAreNotProcessed.)
TEST_F(FileCommandTest, LinksPipesAndDevicesInAFolderAreNotProcessed) {
  settings_.SetBool(CSettings::GroupSettingsDlg, CSettings::ItemRemoveFilesAfterEncryption, true);
  TempDir elsewhere;
  WriteFileBytes(elsewhere / "plain.txt", "plain text");
  const wxString folder = dir_ / "folder";
  ASSERT_TRUE(wxMkdir(folder));
  WriteFileBytes(folder + "/regular.txt", "regular");
  ASSERT_EQ(symlink((elsewhere / "plain.txt").fn_str(), (folder + "/link.txt").fn_str()), 0);
  ASSERT_EQ(mkfifo((folder + "/fifo").fn_str(), 0600), 0);

  Command(folder, wxString("pw")).EncryptAes();
  std::map<wxString, RecordingReport::Row> rows;
  for (const auto& row : report_.rows) rows[wxFileName(row.file).GetFullName()] = row;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows["regular.txt"].status, "Done");
  for (const auto& [name, row] : rows) {
    if (name == "regular.txt") continue;
    EXPECT_EQ(row.status, "Skipped") << name;
    EXPECT_EQ(row.description, "Not a regular file (a link, pipe or device): not processed")
        << name;
  }
  EXPECT_EQ(ReadFileBytes(elsewhere / "plain.txt"), "plain text");
  wxArrayString left;
  wxDir::GetAllFiles(folder, &left, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
  EXPECT_EQ(left.size(), rows.size()) << "the link and pipe stay, beside regular.txt.aes";
}

// A name shows escaped in its row: a line break or a byte that is no text
// reaches neither the window nor the log as it is.
TEST_F(FileCommandTest, RowsShowNamesEscaped) {
  // Names convert as the program converts them, for this test only.
  const struct NamesAsBytes {
    wxMBConv* previous = std::exchange(wxConvFileName, const_cast<wxMBConv*>(&NameConversion()));
    ~NamesAsBytes() { wxConvFileName = previous; }
  } namesAsBytes;
  const wxString folder = dir_ / "names";
  ASSERT_TRUE(wxMkdir(folder));
  WriteFileBytes(folder + "/two\nlines", "x");
  std::FILE* latin1 = std::fopen((folder.utf8_string() + "/\xE9t\xE9").c_str(), "wb");
  ASSERT_NE(latin1, nullptr);
  std::fclose(latin1);
  Command(folder, wxString("pw")).EncryptAes();
  wxString rows;
  for (const auto& row : report_.rows) rows += row.file + " " + row.status + "\n";
  EXPECT_EQ(rows.utf8_string(),
            (folder + "/two\\x0Alines Done\n" + folder + "/\\xE9t\\xE9 Done\n").utf8_string());
}
#endif
}  // namespace

namespace {

// An age batch never encrypts with an empty password, nor with a work factor
// that age would refuse to open; neither leaves a file touched.
TEST_F(FileCommandTest, AgeBatchRefusesWhatWouldMakeAWeakOrUnopenableFile) {
  struct Case {
    const char* workFactor;
    const char* password;
    int message;
    bool asked;
  };
  for (const Case& c : {Case{"18", "", msg::AgeEmptyPassphrase, true},
                        Case{"23", "pw", msg::AgeWorkFactorSetting, false},
                        Case{"nine", "pw", msg::AgeWorkFactorSetting, false}}) {
    SCOPED_TRACE(c.workFactor);
    settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAgeWorkFactor, c.workFactor);
    prompt_.prompts.clear();
    CFileCommand command = Command(dir_ / "a.txt", wxString::FromUTF8(c.password));
    try {
      command.EncryptAge();
      ADD_FAILURE() << "not refused";
    } catch (const CFSVeilorException& error) {
      EXPECT_EQ(error.GetMessage(), Msg(c.message));
    }
    EXPECT_EQ(prompt_.prompts.size(), c.asked ? 1u : 0u);
    EXPECT_FALSE(wxFileExists(dir_ / "a.txt.age"));
    EXPECT_EQ(ReadFileBytes(dir_ / "a.txt"), "alpha");
  }
}

// The row of a file whose key is being derived says so until it is done, and
// the file round-trips through its age file.
TEST_F(FileCommandTest, AgeRowSaysWhileItsKeyIsDerived) {
  settings_.SetString(CSettings::GroupSettingsDlg, CSettings::ItemAgeWorkFactor, "10");
  Command(dir_ / "a.txt", wxString::FromUTF8("pässwörd")).EncryptAge();
  ASSERT_EQ(report_.rows.size(), 1u);
  EXPECT_EQ(report_.rows[0].status, Msg(msg::StatusDone));
  const std::vector<std::pair<long, wxString>> derived{{0, Msg(msg::AgeDerivingKey)}, {0, ""}};
  EXPECT_EQ(report_.notes, derived);
  ASSERT_TRUE(wxRemoveFile(dir_ / "a.txt"));
  Command(dir_ / "a.txt.age", wxString::FromUTF8("pässwörd")).DecryptAge();
  EXPECT_EQ(report_.rows.at(0).status, Msg(msg::StatusDone));
  EXPECT_EQ(ReadFileBytes(dir_ / "a.txt"), "alpha");
}

}  // namespace

// InvokeCommand: the highlighted entry's program started through the shell
// with the composed parameters, and every failed start reported in words.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "shell/CommandRunner.h"
#include "shell/MenuRenderer.h"
#include "shell/ZQXM.h"
#include "support/OpenMenuTest.h"
#include "support/ShellTestSupport.h"
#include "support/ZQXMProbe.h"

namespace {

const std::vector<std::string> kItems = {
    "0;*;%e;Encrypt;%1;aese %f;help;%3;%2",                              // 0
    "0;*;%e;Twice;%1;twice %f %f;help;%3;%2",                            // 1
    "0;*;%e;No paths;%1;settings;help;%3;%2",                            // 2
    "0;*;%e;Missing;C:\\no such folder\\veilor.exe;aese %f;help;%3;%2",  // 3
    "0;*;%e;Hand-edited;%-2;aese %f;help;%-3;%2",  // 4: negative IDs only an edited key holds
};

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The processes this test program has started so far, counted by the system
// as each one starts: every child joins the job the program is in. Whether an
// action started nothing is known when it returns, without waiting.
DWORD ProcessesStarted() {
  static const HANDLE job = [] {
    const HANDLE made = CreateJobObjectW(nullptr, nullptr);
    if (made == nullptr || !AssignProcessToJobObject(made, GetCurrentProcess())) return HANDLE{};
    return made;
  }();
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
  if (job == nullptr || !QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info,
                                                   sizeof info, nullptr))
    return 0;
  return info.TotalProcesses;
}

class CommandTest : public OpenMenuTest {
protected:
  void SetUp() override {
    startedBefore_ = ProcessesStarted();
    ASSERT_GT(startedBefore_, 0u) << "cannot count started processes";
    output_ = TempFolder() + "\\recorded " + std::to_string(++runs_) + ".txt";
    DeleteFileA(output_.c_str());
    SetEnvironmentVariableA("QXM_RECORDER_OUT", output_.c_str());
    Open(kItems, Selection());
  }
  void TearDown() override {
    OpenMenuTest::TearDown();
    SetEnvironmentVariableA("QXM_RECORDER_OUT", nullptr);
  }

  virtual IDataObject* Selection() { return NewDropData({"C:\\a b.txt", "C:\\c.txt"}); }

  // What the shell does when the user moves onto an entry.
  void Highlight(std::int32_t index) {
    HDC dc = CreateCompatibleDC(nullptr);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = kFirst;
    draw.itemState = ODS_SELECTED;
    draw.hDC = dc;
    SetRect(&draw.rcItem, 0, 0, 100, 20);
    draw.itemData = EntryData(index, 0);
    object_->HandleMenuMsg2(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), nullptr);
    DeleteDC(dc);
  }

  HRESULT Invoke(const char* verb = MAKEINTRESOURCEA(0)) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    return object_->InvokeCommand(&info);
  }

  // The recorder's lines once it has written them; none after the wait.
  std::vector<std::string> Recorded(DWORD waitMs = 30000) {
    for (DWORD waited = 0; waited <= waitMs; waited += 100) {
      if (GetFileAttributesA(output_.c_str()) != INVALID_FILE_ATTRIBUTES) return ReadLines(output_);
      Sleep(100);
    }
    return {};
  }

  // The programs started since the case began.
  DWORD Started() const { return ProcessesStarted() - startedBefore_; }

  static inline int runs_ = 0;
  DWORD startedBefore_ = 0;
  std::string output_;
  MessageCatcher messages_;
};

TEST_F(CommandTest, TheProgramReceivesTheVerbAndTheCommaJoinedPaths) {
  Highlight(0);
  EXPECT_EQ(Invoke(), S_OK);
  const auto lines = Recorded();
  ASSERT_EQ(lines.size(), 3u);
  // The raw command line: the quoted program, then the parameters as composed.
  const std::string parameters = "aese \"C:\\a b.txt\",\"C:\\c.txt\",";
  ASSERT_GE(lines[0].size(), parameters.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - parameters.size()), parameters) << lines[0];
  EXPECT_EQ(lines[0].front(), '"');
  EXPECT_EQ(lines[1], "aese");
  EXPECT_EQ(lines[2], "C:\\a b.txt,C:\\c.txt,");
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(CommandTest, EveryPlaceholderGetsThePathListAndATemplateWithoutOneGetsNone) {
  Highlight(1);
  EXPECT_EQ(Invoke(), S_OK);
  auto lines = Recorded();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "twice");
  EXPECT_EQ(lines[2], "C:\\a b.txt,C:\\c.txt,");
  EXPECT_EQ(lines[3], "C:\\a b.txt,C:\\c.txt,");

  DeleteFileA(output_.c_str());
  Highlight(2);
  EXPECT_EQ(Invoke(), S_OK);
  lines = Recorded();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "settings");
}

TEST_F(CommandTest, NothingRunsBeforeAnEntryWasHighlightedOrForAStringVerb) {
  EXPECT_EQ(Invoke(), S_OK);
  Highlight(0);
  EXPECT_EQ(Invoke("open"), E_INVALIDARG);
  EXPECT_EQ(Started(), 0u);
  EXPECT_TRUE(messages_.Shown().empty());
  // The count sees a start: the same entry invoked by its index runs (Wine
  // may start a console host with it).
  EXPECT_EQ(Invoke(), S_OK);
  EXPECT_GE(Started(), 1u);
  EXPECT_EQ(Recorded().size(), 3u);
}

TEST_F(CommandTest, AnInactiveObjectRunsNothing) {
  Highlight(0);
  ASSERT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 10, CMF_DEFAULTONLY), S_OK);
  EXPECT_EQ(Invoke(), S_OK);
  EXPECT_EQ(Started(), 0u);
}

TEST_F(CommandTest, AProgramThatDoesNotExistIsReportedOncePerInvocation) {
  Highlight(3);
  EXPECT_EQ(Invoke(), S_OK);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text,
            "Unable to run command. File not found. See script for errors.");
  EXPECT_EQ(messages_.Shown()[0].caption, "Ordal's Context Menu Error");
  EXPECT_EQ(messages_.Shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  // The same entry can be invoked again.
  EXPECT_EQ(Invoke(), S_OK);
  EXPECT_EQ(messages_.Shown().size(), 2u);
}

TEST_F(CommandTest, ANegativeProgramIdIsReportedAndNothingRuns) {
  // Painting skips the icon that a negative ID cannot name.
  Highlight(4);
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemIndex, 4);
  EXPECT_EQ(Invoke(), E_FAIL);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "Internal error. Wrong constant ID");
  EXPECT_EQ(messages_.Shown()[0].caption, "Error");
  EXPECT_EQ(Started(), 0u);
}

// Names that the ANSI code page cannot hold, as the shell hands them over.
const char* const kForeignNames[] = {"C:\\Данные\\отчёт.txt", "C:\\数据\\报告.txt",
                                     "C:\\x\\\xF0\x9F\x94\x92 keys.bin", "C:\\x\\plain.txt"};

class ForeignNamesCommandTest : public CommandTest {
protected:
  IDataObject* Selection() override {
    std::vector<std::wstring> paths;
    for (const char* name : kForeignNames) paths.push_back(Wide(name));
    return NewWideDropData(paths);
  }
};

TEST_F(ForeignNamesCommandTest, EveryNameReachesTheProgramWhole) {
  ASSERT_EQ(ZQXMProbe::SelectedPaths(*object_).size(), 4u);
  EXPECT_EQ(ZQXMProbe::SelectedPaths(*object_)[1], Wide(kForeignNames[1]));
  Highlight(0);
  EXPECT_EQ(Invoke(), S_OK);
  const auto lines = Recorded();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "aese");
  std::string list;
  for (const char* name : kForeignNames) list += std::string(name) + ",";
  EXPECT_EQ(lines[2], list);
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST(RunFailureTest, EachResultOfTheShellHasItsMessage) {
  const std::pair<INT_PTR, const char*> cases[] = {
      {2, "Unable to run command. File not found. See script for errors."},
      {3, "Unable to run command. Invalid path. See script for errors."},
      {5,
       "Unable to run command. The operating system denied access to the specified file. See "
       "script for errors. Maybe to many arguments are passed."},
      {11, "Unable to run command. The .exe file is invalid. See script for errors."},
      {31,
       "Unable to run command. There is no application associated with the given file name "
       "extension."},
      {32, "Unable to run command. The specified dynamic-link library (DLL) was not found."},
  };
  for (const auto& [result, message] : cases) {
    EXPECT_EQ(RunFailureMessage(result), message) << result;
  }
  for (const INT_PTR other :
       {INT_PTR{0}, INT_PTR{1}, INT_PTR{4}, INT_PTR{10}, INT_PTR{12}, INT_PTR{30}, INT_PTR{-1}}) {
    EXPECT_EQ(RunFailureMessage(other),
              "Unable to run command. Unknown error. See script for errors.")
        << other;
  }
}

}  // namespace

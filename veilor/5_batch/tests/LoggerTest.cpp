#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <regex>
#include <string>
#include <vector>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/log.h>

#include "1_base/Exceptions.h"
#include "3_settings/ProgramSettings.h"
#include "5_batch/LogTime.h"
#include "5_batch/Logger.h"
#include "LineEnds.h"
#include "TempDir.h"

namespace {

class LoggerTest : public testing::Test {
protected:
  void EnableLog(bool on) {
    settings_.SetBool(CSettings::GroupLogger, CSettings::ItemEnableLog, on);
  }
  // The day's file name at `when`, made here from the rule (English month
  // names whatever the locale), not by the code under test.
  static wxString FileNameAt(std::time_t when) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const wxDateTime day(static_cast<time_t>(when));
    return wxString::Format("Veilor logger[ %02d %s %d ].log", day.GetDay(),
                            kMonths[day.GetMonth()], day.GetYear());
  }
  // The log file in `dir`: of the day the test began, or of the next day
  // when midnight passed meanwhile.
  wxString LogFileIn(const wxString& dir) const {
    const wxString later = JoinPath(dir, FileNameAt(std::time(nullptr)));
    return wxFileExists(later) ? later : JoinPath(dir, FileNameAt(start_));
  }

  std::time_t start_ = std::time(nullptr);

  TempDir dir_;
  CSettings settings_{dir_ / "veilor.ini"};
  wxString logDir_ = dir_ / "Log";
  wxString fallbackDir_ = dir_ / "UserLog";
  // The boxes the logger asked for, in order.
  struct Box {
    wxString text;
    wxString title;
    long style;
  };
  std::vector<Box> boxes_;
  CLogger::ShowBox Record() {
    return [this](const wxString& text, const wxString& title, long style) {
      boxes_.push_back({text, title, style});
    };
  }
};

TEST_F(LoggerTest, LogSwitchedOffCreatesNothingButBoxesStillShow) {
  {
    CLogger logger(settings_, logDir_, fallbackDir_, Record());
    logger.Open();
    logger.Log("broken", CLogger::Error, CLogger::LogAndBox);
    logger.Log("fyi", CLogger::Information, CLogger::LogAndBox);  // info boxes are off
  }
  EXPECT_FALSE(wxDirExists(logDir_));
  EXPECT_FALSE(wxDirExists(fallbackDir_));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "broken");
  EXPECT_EQ(boxes_[0].title, "Veilor Error");
  EXPECT_EQ(boxes_[0].style, wxOK | wxICON_ERROR);
}

TEST_F(LoggerTest, LinesCarryTimeStampTitleAndTextAndRunsAppend) {
  EnableLog(true);
  for (const char* text : {"first run", "second run"}) {
    CLogger logger(settings_, logDir_, fallbackDir_, Record());
    logger.Open();
    logger.Log(text, CLogger::Information, CLogger::LogAndBox);
  }
  EXPECT_TRUE(boxes_.empty());

  const std::string log = ReadFileBytes(LogFileIn(logDir_));
  const std::regex line(
      R"(\[ \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4}  \d\d:\d\d:\d\d \]: )"
      R"(Veilor Information : (first|second) run)" +
      kLineEnd);
  ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  const std::size_t split = log.find('\n') + 1;
  EXPECT_TRUE(std::regex_match(log.substr(0, split), line)) << log;
  EXPECT_TRUE(std::regex_match(log.substr(split), line)) << log;
  EXPECT_NE(log.find("second run"), std::string::npos);
}

TEST_F(LoggerTest, SeverityAndModeDecideWhatHappens) {
  EnableLog(true);
  settings_.SetBool(CSettings::GroupLogger, CSettings::ItemShowWarningMessages, false);
  CLogger logger(settings_, logDir_, fallbackDir_, Record());
  logger.Open();
  logger.Log("log only", CLogger::Error, CLogger::LogOnly);
  logger.Log("box only", CLogger::Error, CLogger::BoxOnly);
  logger.Log("quiet warning", CLogger::Warning, CLogger::LogAndBox);
  logger.Log("unknown mode", CLogger::Error, 7);
  logger.Log("unknown severity", 9, CLogger::BoxOnly);

  const std::string log = ReadFileBytes(LogFileIn(logDir_));
  EXPECT_NE(log.find("Veilor Error : log only"), std::string::npos);
  EXPECT_EQ(log.find("box only"), std::string::npos);
  EXPECT_NE(log.find("Veilor Warning : quiet warning"), std::string::npos);
  EXPECT_EQ(log.find("unknown"), std::string::npos);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "box only");
}

TEST_F(LoggerTest, SwitchingLogOffDuringTheRunStopsLinesAtOnce) {
  EnableLog(true);
  CLogger logger(settings_, logDir_, fallbackDir_, Record());
  logger.Open();
  EnableLog(false);
  logger.Log("after switch-off", CLogger::Error, CLogger::LogOnly);
  const wxString log = LogFileIn(logDir_);
  ASSERT_TRUE(wxFileExists(log)) << "opened while the log was on";
  EXPECT_EQ(ReadFileBytes(log), "");
}

// A fresh account has no state folder yet: the whole path is made.
TEST_F(LoggerTest, MissingParentFoldersAreMade) {
  EnableLog(true);
  const wxString deep = dir_ / "state/Veilor/Log";
  CLogger logger(settings_, deep, "", Record());
  logger.Open();
  EXPECT_TRUE(wxFileExists(LogFileIn(deep)));
}

TEST_F(LoggerTest, UnusableProgramFolderFallsBackToTheUserFolder) {
  EnableLog(true);
  WriteFileBytes(dir_ / "file", "");
  CLogger logger(settings_, dir_ / "file/Log", fallbackDir_, Record());
  logger.Open();
  logger.Log("here", CLogger::Warning, CLogger::LogOnly);
  EXPECT_NE(ReadFileBytes(LogFileIn(fallbackDir_)).find("here"), std::string::npos);
}

TEST_F(LoggerTest, NoUsableFolderIsAnError) {
  EnableLog(true);
  WriteFileBytes(dir_ / "file", "");
  CLogger logger(settings_, dir_ / "file/Log", dir_ / "file/UserLog", Record());
  try {
    logger.Open();
    ADD_FAILURE() << "opened a log without a folder";
  } catch (const CLoggerException& error) {
    EXPECT_EQ(error.GetMessage(), "Can't create log directory");
    EXPECT_EQ(error.GetModule(), "Logger exception");
  }
}

TEST_F(LoggerTest, UnopenableFileNamesThePath) {
  EnableLog(true);
  ASSERT_TRUE(wxMkdir(logDir_));
  // A folder in the file's place, and in the next day's should midnight pass.
  const wxString today = JoinPath(logDir_, FileNameAt(start_));
  const wxString tomorrow = JoinPath(logDir_, FileNameAt(start_ + 24 * 60 * 60));
  ASSERT_TRUE(wxMkdir(today));
  ASSERT_TRUE(wxMkdir(tomorrow));
  CLogger logger(settings_, logDir_, "", Record());
  try {
    logger.Open();
    ADD_FAILURE() << "opened a folder as the log";
  } catch (const CLoggerException& error) {
    const wxString message = error.GetMessage();
    EXPECT_TRUE(message == "Log file opening error:" + today ||
                message == "Log file opening error:" + tomorrow)
        << message;
  }
}

TEST_F(LoggerTest, PreviousLogTargetComesBack) {
  EnableLog(true);
  wxLog* before = wxLog::GetActiveTarget();
  {
    CLogger logger(settings_, logDir_, fallbackDir_, Record());
    logger.Open();
    EXPECT_NE(wxLog::GetActiveTarget(), before);
  }
  EXPECT_EQ(wxLog::GetActiveTarget(), before);
}

#ifndef _WIN32
// Linux names are UTF-8 bytes: a line holding one is written as such even
// when the process has no locale, instead of as an empty line.
TEST_F(LoggerTest, NonAsciiPathsAreWrittenAsUtf8WhateverTheLocale) {
  EnableLog(true);
  const std::string previous = std::setlocale(LC_CTYPE, nullptr);
  ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
  {
    CLogger logger(settings_, logDir_, fallbackDir_, Record());
    logger.Open();
    logger.Log(wxString::FromUTF8("Done /data/Über café.txt"), CLogger::Information,
               CLogger::LogOnly);
  }
  std::setlocale(LC_CTYPE, previous.c_str());
  const std::string log = ReadFileBytes(LogFileIn(logDir_));
  EXPECT_NE(log.find("]: Veilor Information : Done /data/\xC3\x9C"
                     "ber caf\xC3\xA9.txt\n"),
            std::string::npos)
      << log;
}
#endif

// Under a German locale the system's "%b" gives "Dez" and "Mai"; the log's
// names stay English. Runs where a German locale is installed (always under
// Windows).
TEST(LogTimeTest, MonthNamesAreEnglishWhateverTheLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  bool german = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "German"}) {
    if (std::setlocale(LC_ALL, name)) {
      german = true;
      break;
    }
  }
  if (!german) GTEST_SKIP() << "no German locale installed";
  const wxDateTime time(5, wxDateTime::Dec, 2026, 14, 3, 59);
  EXPECT_EQ(FormatLogTime("%d %b %Y", time), "05 Dec 2026");
  EXPECT_EQ(FormatLogTime("[ %d %b %Y  %H:%M:%S ]", time), "[ 05 Dec 2026  14:03:59 ]");
  EXPECT_EQ(FormatLogTime("%b", wxDateTime(1, wxDateTime::May, 2026)), "May");
  std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace

#include <gtest/gtest.h>

#include "3_settings/FileSwitches.h"
#include "3_settings/ProgramSettings.h"
#include "FirstStartSettings.h"
#include "TempDir.h"

namespace {

// Each switch reaches its own key, and only that one: the file differs from a
// first start's in that key's line alone.
TEST(FileSwitchesTest, EachSwitchIsItsOwnKey) {
  const struct {
    CBoolSetting CFileSwitches::*flag;
    CStringSetting CFileSwitches::*text;
    std::string before, after;
  } cases[] = {
      {&CFileSwitches::useDefEncPass, nullptr, "UseDefEncPass=0", "UseDefEncPass=1"},
      {&CFileSwitches::useDefDecPass, nullptr, "UseDefDecPass=0", "UseDefDecPass=1"},
      {nullptr, &CFileSwitches::defEncPass, "DefEncPass=", "DefEncPass=41"},
      {nullptr, &CFileSwitches::defDecPass, "DefDecPass=", "DefDecPass=41"},
      {&CFileSwitches::removeAfterEnc, nullptr, "RemoveFilesAfterEncryption=1",
       "RemoveFilesAfterEncryption=0"},
      {&CFileSwitches::removeAfterDec, nullptr, "RemoveFilesAfterDecryption=1",
       "RemoveFilesAfterDecryption=0"},
      {&CFileSwitches::overwrite, nullptr, "OverwriteExistingFiles=0", "OverwriteExistingFiles=1"},
      {&CFileSwitches::hideReport, nullptr, "HideReportDlg=0", "HideReportDlg=1"},
      {&CFileSwitches::chooseEncPass, nullptr, "ChooseEncPass=0", "ChooseEncPass=1"},
      {&CFileSwitches::chooseDecPass, nullptr, "ChooseDecPass=0", "ChooseDecPass=1"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    {
      CSettings settings(dir / "veilor.ini");
      CFileSwitches switches(settings);
      if (c.flag) {
        (switches.*c.flag).Set(!(switches.*c.flag).Get());
      } else {
        (switches.*c.text).Set("41");
      }
    }
    std::string expected = kFirstStartSettings;
    const std::size_t line = expected.find("\n" + c.before + kLineEnd);
    ASSERT_NE(line, std::string::npos) << c.before;
    expected.replace(line + 1, c.before.size(), c.after);
    EXPECT_EQ(ReadFileBytes(dir / "veilor.ini"), expected) << c.after;
  }
}

}  // namespace

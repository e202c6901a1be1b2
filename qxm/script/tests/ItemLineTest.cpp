// Item lines: nine ";"-separated fields, their storage and the checks in order.
#include <gtest/gtest.h>

#include "script/MenuScript.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"

namespace {

class ItemLineTest : public ::testing::Test {
protected:
  ItemLineTest() : script_(fake_.Services()) {}

  ScriptItem Parse(const std::string& line) {
    ScriptItem item;
    bool isItem = false;
    script_.ParseLine(line, item, isItem);
    EXPECT_TRUE(isItem);
    return item;
  }
  std::string ErrorFor(const std::string& line) {
    return ErrorOf([&] { Parse(line); });
  }

  FakeServices fake_;
  MenuScript script_;
};

TEST_F(ItemLineTest, StoresEveryFieldByPosition) {
  const std::string line =
      "  0;*;Crypto;Encrypt with AES;%1;aese %f;Encrypt the selected files;%2;%3 ";
  const ScriptItem item = Parse(line);
  EXPECT_EQ(item.type, FileItem);
  EXPECT_EQ(item.extension, "*");
  EXPECT_EQ(item.submenuPath, "Crypto");
  EXPECT_EQ(item.name, "Encrypt with AES");
  EXPECT_EQ(item.exePath, "");
  EXPECT_EQ(item.exeId, 1);
  EXPECT_EQ(item.arguments, "aese %f");
  EXPECT_EQ(item.helpText, "Encrypt the selected files");
  EXPECT_EQ(item.iconId, 2);
  EXPECT_EQ(item.submenuIconId, 3);
  EXPECT_EQ(item.sourceLine, line);  // untrimmed: this is what gets stored
}

TEST_F(ItemLineTest, LiteralProgramPathKeepsExeIdMinusOne) {
  const ScriptItem item = Parse("1;txt;A\\B;Open;C:\\x.exe;%f;%e;%1;%1");
  EXPECT_EQ(item.type, FolderItem);
  EXPECT_EQ(item.exePath, "C:\\x.exe");
  EXPECT_EQ(item.exeId, -1);
  EXPECT_EQ(item.submenuPath, "A\\B");
  EXPECT_EQ(item.helpText, "");
}

TEST_F(ItemLineTest, FieldsAreTrimmedAndLoseEveryPercentE) {
  const ScriptItem item = Parse("0; %e ;%e;a%eb; C:\\x.exe ;%e;h%e%e;%5;#6");
  EXPECT_EQ(item.extension, "");
  EXPECT_EQ(item.submenuPath, "");
  EXPECT_EQ(item.name, "ab");
  EXPECT_EQ(item.exePath, "C:\\x.exe");
  EXPECT_EQ(item.arguments, "");
  EXPECT_EQ(item.helpText, "h");
  EXPECT_EQ(item.iconId, 5);
  EXPECT_EQ(item.submenuIconId, 6);  // any leading character, not only "%"
}

TEST_F(ItemLineTest, IconFieldsWithoutDigitsGiveZero) {
  EXPECT_EQ(Parse("0;*;%e;N;C:\\x.exe;%e;%e;%e;%x").iconId, 0);
  EXPECT_EQ(Parse("0;*;%e;N;C:\\x.exe;%e;%e;5;%1").iconId, 0);  // the "5" is the marker
}

TEST_F(ItemLineTest, AdjacentSemicolonsAreOneSeparator) {
  EXPECT_EQ(ErrorFor("0;txt;%e;Open;C:\\x.exe;%f;%e;%1;%1"), "(no error)");
  EXPECT_EQ(ErrorFor("0;txt;;Open;C:\\x.exe;%f;%e;%1;%1"),
            "Wrong .qxm file format. Error line:0;txt;;Open;C:\\x.exe;%f;%e;%1;%1");
}

TEST_F(ItemLineTest, ShortAndEmptyLines) {
  EXPECT_EQ(ErrorFor(";;;;"), "Wrong .qxm file format. Error line:;;;;");
  EXPECT_EQ(ErrorFor("   "), "Wrong .qxm file format. Error line:");
  EXPECT_EQ(ErrorFor(" 2;*;X;%e;%e;%e;%e;%e "),
            "Wrong .qxm file format. Error line:2;*;X;%e;%e;%e;%e;%e");
}

TEST_F(ItemLineTest, TenthFieldIsRejected) {
  EXPECT_EQ(ErrorFor("0;*;%e;N;C:\\x.exe;%e;%e;%1;%1;extra"),
            "Wrong argument count in .qxm file. Error line:0;*;%e;N;C:\\x.exe;%e;%e;%1;%1;extra");
  // A trailing separator adds no field.
  EXPECT_EQ(ErrorFor("0;*;%e;N;C:\\x.exe;%e;%e;%1;%1;"), "(no error)");
}

TEST_F(ItemLineTest, TypeMustBeExactlyZeroOneOrTwo) {
  for (const char* type : {"3", "00", "-1", "x", "1 1", "1%e1", "0%e%e0"}) {
    const std::string line = std::string(type) + ";*;%e;N;C:\\x.exe;%e;%e;%1;%1";
    EXPECT_EQ(ErrorFor(line), "Wrong item type in .qxm file. Error line:" + line) << type;
  }
}

TEST_F(ItemLineTest, LineStartingWithPercentIsAConstantNotAnItem) {
  ScriptItem item;
  bool isItem = true;
  script_.ParseLine("%e;*;%e;N;C:\\x.exe;%e;%e;%1;%1", item, isItem);
  EXPECT_FALSE(isItem);
  EXPECT_EQ(fake_.Warnings().size(), 1u);  // no "=": the constants-section warning
}

TEST_F(ItemLineTest, ChecksRunInOrderTypeCountShortNameProgram) {
  // A bad type is found when field 0 is read, before the tenth field appears.
  EXPECT_EQ(ErrorFor("9;1;2;3;4;5;6;7;8;9"),
            "Wrong item type in .qxm file. Error line:9;1;2;3;4;5;6;7;8;9");
  // The count is found before the missing name and program.
  EXPECT_EQ(ErrorFor("0;1;%e;%e;%e;5;6;7;8;9"),
            "Wrong argument count in .qxm file. Error line:0;1;%e;%e;%e;5;6;7;8;9");
  // A short line is reported before its empty name.
  EXPECT_EQ(ErrorFor("0;1;%e;%e"), "Wrong .qxm file format. Error line:0;1;%e;%e");
  // The name before the program.
  EXPECT_EQ(ErrorFor("0;*;%e;%e;%e;%e;%e;%1;%1"),
            "Menu item name is empty. Error line:0;*;%e;%e;%e;%e;%e;%1;%1");
  EXPECT_EQ(ErrorFor("1;*;%e;Name;%e;%e;%e;%1;%1"),
            "Path to executable file is empty. Error line:1;*;%e;Name;%e;%e;%e;%1;%1");
}

TEST_F(ItemLineTest, ProgramIdMinusOneMeansNoProgram) {
  EXPECT_EQ(ErrorFor("0;*;%e;N;%-1;%e;%e;%1;%1"),
            "Path to executable file is empty. Error line:0;*;%e;N;%-1;%e;%e;%1;%1");
  EXPECT_EQ(Parse("0;*;%e;N;%0;%e;%e;%1;%1").exeId, 0);
}

TEST_F(ItemLineTest, SeparatorNeedsNineFieldsAndAValidTypeOnly) {
  const ScriptItem separator = Parse("2;*;Crypto;%e;%e;%e;%e;%e;%e");
  EXPECT_EQ(separator.type, Separator);
  EXPECT_EQ(separator.submenuPath, "Crypto");
  EXPECT_EQ(separator.name, "");
  EXPECT_EQ(ErrorFor("2;*;Crypto;%e;%e;%e;%e;%e"),
            "Wrong .qxm file format. Error line:2;*;Crypto;%e;%e;%e;%e;%e");
}

TEST_F(ItemLineTest, NothingOfAnEarlierLineCarriesOver) {
  ScriptItem item;
  bool isItem = false;
  script_.ParseLine("0;*;%e;N;C:\\x.exe;%e;%e;%1;%1", item, isItem);
  script_.ParseLine("0;*;%e;M;%4;%e;%e;%1;%1", item, isItem);
  EXPECT_EQ(item.exePath, "");
  EXPECT_EQ(item.exeId, 4);
  script_.ParseLine("# comment", item, isItem);
  EXPECT_FALSE(isItem);
  EXPECT_EQ(item.sourceLine, "# comment");
}

}  // namespace

// Comment and constant lines: "%" ID "=" path.
#include <gtest/gtest.h>

#include "script/MenuScript.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"

namespace {

class ConstantLineTest : public ::testing::Test {
protected:
  ConstantLineTest() : script_(fake_.File("C:\\x").Folder("C:\\Tools").Services()) {}

  // Parses one line; true when it was taken for an item.
  bool Parse(const std::string& line) {
    ScriptItem item;
    bool isItem = true;
    script_.ParseLine(line, item, isItem);
    EXPECT_EQ(item.sourceLine, line);
    return isItem;
  }
  std::string ErrorFor(const std::string& line) {
    return ErrorOf([&] { Parse(line); });
  }

  FakeServices fake_;
  MenuScript script_;
};

TEST_F(ConstantLineTest, CommentsAreNeitherItemsNorConstants) {
  EXPECT_FALSE(Parse("# crypto menu"));
  EXPECT_FALSE(Parse("  \t#indented comment;with;semicolons"));
  EXPECT_TRUE(script_.constants.empty());
  EXPECT_TRUE(fake_.Warnings().empty());
}

TEST_F(ConstantLineTest, DeclaresIdValueAndTrimmedSourceLine) {
  EXPECT_FALSE(Parse("  %1=C:\\x\t"));
  EXPECT_FALSE(Parse("%2=C:\\Tools"));  // a directory is a valid path as well
  ASSERT_EQ(script_.constants.size(), 2u);
  EXPECT_EQ(script_.constants[0].id, 1);
  EXPECT_EQ(script_.constants[0].value, "C:\\x");
  EXPECT_EQ(script_.constants[0].sourceLine, "%1=C:\\x");
  EXPECT_EQ(script_.constants[1].id, 2);
  EXPECT_EQ(script_.constants[1].value, "C:\\Tools");
}

TEST_F(ConstantLineTest, IdIsReadLikeAnIntegerUpToTheFirstEquals) {
  Parse("%x=C:\\x");        // no digits: constant 0
  Parse("% +7junk=C:\\x");  // blanks and a sign, then digits up to the first non-digit
  ASSERT_EQ(script_.constants.size(), 2u);
  EXPECT_EQ(script_.constants[0].id, 0);
  EXPECT_EQ(script_.constants[1].id, 7);
}

TEST_F(ConstantLineTest, ValueIsEverythingAfterTheFirstEquals) {
  fake_.File("=a=b");
  EXPECT_EQ(ErrorFor("%4==a=b"), "(no error)");
  ASSERT_EQ(script_.constants.size(), 1u);
  EXPECT_EQ(script_.constants[0].id, 4);
  EXPECT_EQ(script_.constants[0].value, "=a=b");
}

TEST_F(ConstantLineTest, BlanksAroundTheEqualsSignBelongToTheValue) {
  EXPECT_EQ(ErrorFor("%1 = C:\\x"),
            "Wrong constant value. Invalid path. Source line: \"%1 = C:\\x\"");
}

TEST_F(ConstantLineTest, EmptyValueIsAnInvalidPath) {
  EXPECT_EQ(ErrorFor("%3="), "Wrong constant value. Invalid path. Source line: \"%3=\"");
  EXPECT_EQ(ErrorFor("  %3=C:\\missing  "),
            "Wrong constant value. Invalid path. Source line: \"%3=C:\\missing\"");
  EXPECT_TRUE(script_.constants.empty());
}

TEST_F(ConstantLineTest, NegativeIdIsRejectedBeforeThePathIsChecked) {
  EXPECT_EQ(ErrorFor("%-2=C:\\x"), "Wrong constant ID. Source line: \"%-2=C:\\x\"");
  EXPECT_EQ(ErrorFor("%-2=C:\\missing"), "Wrong constant ID. Source line: \"%-2=C:\\missing\"");
  EXPECT_TRUE(script_.constants.empty());
}

TEST_F(ConstantLineTest, MalformedLineOnlyWarnsAndIsIgnored) {
  ScriptItem item;
  bool isItem = true;
  EXPECT_FALSE(script_.ParseLine("%3", item, isItem));
  EXPECT_FALSE(isItem);
  EXPECT_FALSE(script_.ParseLine(" % ", item, isItem));  // trimmed to "%": nothing after it
  ASSERT_EQ(fake_.Warnings().size(), 2u);
  EXPECT_EQ(fake_.Warnings()[0].first, "Ordal's Context Menu Warning");
  EXPECT_EQ(fake_.Warnings()[0].second,
            "Wrong .qxm file format. Error in constants section. Source string: \"3\"");
  EXPECT_EQ(fake_.Warnings()[1].second,
            "Wrong .qxm file format. Error in constants section. Source string: \"\"");
  EXPECT_TRUE(script_.constants.empty());
}

TEST_F(ConstantLineTest, DuplicateIdsAreKeptAndTheFirstWins) {
  fake_.File("C:\\y");
  Parse("%1=C:\\x");
  Parse("%1=C:\\y");
  ASSERT_EQ(script_.constants.size(), 2u);
  EXPECT_EQ(script_.GetConstant(1), "C:\\x");
  EXPECT_EQ(script_.GetConstant(2), "");
  EXPECT_EQ(ErrorOf([&] { script_.GetConstant(-1); }), "Internal error. Wrong constant ID");
}

}  // namespace

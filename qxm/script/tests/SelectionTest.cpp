// Which items a selection is offered, and the look-ups by applicable index.
#include <gtest/gtest.h>

#include "script/MenuScript.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"
#include "support/ScriptLines.h"

namespace {

class SelectionTest : public ::testing::Test {
protected:
  SelectionTest()
      : script_(fake_.File("C:\\v.exe").Folder("C:\\dir").Folder("D:\\x.y").Services()) {
    AddLines(script_, {
                          "%1=C:\\v.exe",
                          "0;txt;%e;Text;%1;t %f;Help for text;%1;%1",
                          "0;*;%e;Any;C:\\any.exe;a %f;%e;%1;%1",
                          "1;*;%e;Folder;%1;f %f;Help for folders;%1;%1",
                          "2;zip;%e;%e;%e;%e;%e;%e;%e",
                          "0;%e;%e;NoDot;%1;n;%e;%1;%1",
                          "1;txt;%e;FolderTxt;%1;ft;%e;%1;%1",
                      });
  }

  std::vector<std::string> Offered(const std::vector<std::string>& paths) {
    EXPECT_TRUE(script_.SelectItems(paths));
    std::vector<std::string> names;
    for (std::size_t i = 0; i < script_.applicable.size(); ++i) {
      const ScriptItem& item = script_.applicable[i];
      EXPECT_EQ(item.index, static_cast<std::int32_t>(i));
      names.push_back(item.type == Separator ? "---" : item.name);
    }
    return names;
  }

  FakeServices fake_;
  MenuScript script_;
};

using Names = std::vector<std::string>;

TEST_F(SelectionTest, NoPathOffersNothingAndChangesNothing) {
  Offered({"C:\\a.txt"});
  EXPECT_FALSE(script_.SelectItems({}));
  EXPECT_EQ(script_.applicable.size(), 3u);
}

TEST_F(SelectionTest, OneFolderGetsFolderItemsAndSeparators) {
  EXPECT_EQ(Offered({"C:\\dir"}), (Names{"Folder", "---", "FolderTxt"}));
}

TEST_F(SelectionTest, OneFileMatchesItsExtensionExactly) {
  EXPECT_EQ(Offered({"C:\\notes.txt"}), (Names{"Text", "Any", "---"}));
  EXPECT_EQ(Offered({"C:\\notes.TXT"}), (Names{"Any", "---"}));
  EXPECT_EQ(Offered({"C:\\archive.tar.zip"}), (Names{"Any", "---"}));
}

TEST_F(SelectionTest, FileWithoutADotMatchesAnEmptyExtensionField) {
  EXPECT_EQ(Offered({"C:\\README"}), (Names{"Any", "---", "NoDot"}));
  // A path that does not exist is taken for a file as well.
  EXPECT_EQ(Offered({"C:\\missing\\Makefile"}), (Names{"Any", "---", "NoDot"}));
}

TEST_F(SelectionTest, LastDotAnywhereInThePathCounts) {
  // The extension of this file is "d\notes": no item has it.
  EXPECT_EQ(Offered({"C:\\old.d\\notes"}), (Names{"Any", "---"}));
}

TEST_F(SelectionTest, SeveralPathsAreFilesOfEveryKind) {
  const Names everyFileItem{"Text", "Any", "---", "NoDot"};
  EXPECT_EQ(Offered({"C:\\a.txt", "C:\\b.pdf", "C:\\c"}), everyFileItem);
  EXPECT_EQ(Offered({"C:\\dir", "D:\\x.y"}), everyFileItem);  // folders too
}

TEST_F(SelectionTest, LookUpsGoByTheApplicableIndex) {
  Offered({"C:\\notes.txt"});
  EXPECT_EQ(script_.GetExecutable(0), "C:\\v.exe");  // constant 1
  EXPECT_EQ(script_.GetExecutable(1), "C:\\any.exe");
  EXPECT_EQ(script_.GetArguments(0), "t %f");
  EXPECT_EQ(script_.GetHelpText(0), "Help for text");
  EXPECT_EQ(script_.GetHelpText(1), "");
  for (const std::int32_t missing : {-1, 3, 100}) {
    EXPECT_EQ(script_.GetExecutable(missing), "");
    EXPECT_EQ(script_.GetArguments(missing), "");
    EXPECT_EQ(script_.GetHelpText(missing), "");
    EXPECT_EQ(script_.ItemAt(missing), nullptr);
  }
  ASSERT_NE(script_.ItemAt(2), nullptr);
  EXPECT_EQ(script_.ItemAt(2)->type, Separator);
}

TEST_F(SelectionTest, ProgramWithANegativeIdIsAnInternalError) {
  script_.items.clear();
  AddLines(script_, {"0;*;%e;Bad;%-4;%e;%e;%1;%1"});  // only a hand-edited store holds this
  Offered({"C:\\a"});
  EXPECT_EQ(ErrorOf([&] { script_.GetExecutable(0); }), "Internal error. Wrong constant ID");
}

TEST(SubmenuNameTest, NamesByLevelAsTheTokenizerSplitsThem) {
  FakeServices fake;
  const MenuScript script(fake.Services());
  ScriptItem item;
  item.submenuPath = "\\A\\\\B\\C\\";
  EXPECT_EQ(script.SubmenuName(item, 0), "A");
  EXPECT_EQ(script.SubmenuName(item, 1), "B");
  EXPECT_EQ(script.SubmenuName(item, 2), "C");
  EXPECT_EQ(script.SubmenuName(item, 3), "");
  EXPECT_EQ(script.SubmenuName(item, -1), "");
  item.submenuPath = "";
  EXPECT_EQ(script.SubmenuName(item, 0), "");
}

}  // namespace

// Composing the program and the parameter string of a chosen command.
#include <gtest/gtest.h>

#include "script/CommandComposer.h"
#include "script/MenuScript.h"
#include "support/ErrorOf.h"
#include "support/FakeServices.h"
#include "support/ScriptLines.h"

namespace {

class CommandTest : public ::testing::Test {
protected:
  CommandTest() : script_(fake_.File("C:\\Tools\\veilor.exe").Services()) {}

  // The command of a script with this one item, for the selected paths.
  ComposedCommand Compose(const std::string& itemLine, const std::vector<std::string>& paths) {
    script_.items.clear();
    AddLines(script_, {"%1=C:\\Tools\\veilor.exe", itemLine});
    script_.SelectItems({"C:\\x", "C:\\y"});  // several paths: every file item applies
    return ComposeCommand(script_, 0, paths);
  }

  FakeServices fake_;
  MenuScript script_;
};

TEST_F(CommandTest, EveryPathIsQuotedAndFollowedByAComma) {
  const ComposedCommand command =
      Compose("0;*;%e;AES;%1;aese %f;%e;%1;%1", {"C:\\a.txt", "C:\\b.txt"});
  EXPECT_EQ(command.program, "\"C:\\Tools\\veilor.exe\"");
  EXPECT_EQ(command.parameters, "aese \"C:\\a.txt\",\"C:\\b.txt\",");
}

TEST_F(CommandTest, TemplateDecidesHowOftenThePathsAppear) {
  const std::vector<std::string> one{"C:\\a b.txt"};
  EXPECT_EQ(Compose("0;*;%e;N;%1;settings;%e;%1;%1", one).parameters, "settings");
  EXPECT_EQ(Compose("0;*;%e;N;%1;%f -- %f;%e;%1;%1", one).parameters,
            "\"C:\\a b.txt\", -- \"C:\\a b.txt\",");
  EXPECT_EQ(Compose("0;*;%e;N;%1;%e;%e;%1;%1", one).parameters, "");
  // "%F" and a lone "%" are plain text; constants are not substituted.
  EXPECT_EQ(Compose("0;*;%e;N;%1;%F 100% #%1;%e;%1;%1", one).parameters, "%F 100% #%1");
}

TEST_F(CommandTest, PathsGoInAsTheyAreAndAreNotExpandedAgain) {
  EXPECT_EQ(Compose("0;*;%e;N;%1;x %f;%e;%1;%1", {"C:\\%f\"odd", "C:\\%e"}).parameters,
            "x \"C:\\%f\"odd\",\"C:\\%e\",");
}

TEST_F(CommandTest, LiteralProgramIsQuotedTheSameWay) {
  EXPECT_EQ(Compose("0;*;%e;N;C:\\Program Files\\x.exe;%f;%e;%1;%1", {"C:\\a"}).program,
            "\"C:\\Program Files\\x.exe\"");
}

TEST_F(CommandTest, NoSelectedPathsGiveAnEmptyList) {
  EXPECT_EQ(PathList({}), "");
  EXPECT_EQ(Compose("0;*;%e;N;%1;aese %f;%e;%1;%1", {}).parameters, "aese ");
}

TEST_F(CommandTest, UnknownIndexComposesEmptyTexts) {
  Compose("0;*;%e;N;%1;aese %f;%e;%1;%1", {"C:\\a"});
  const ComposedCommand command = ComposeCommand(script_, 5, {"C:\\a"});
  EXPECT_EQ(command.program, "\"\"");
  EXPECT_EQ(command.parameters, "");
}

TEST_F(CommandTest, NegativeProgramIdRaisesTheInternalError) {
  EXPECT_EQ(ErrorOf([&] { Compose("0;*;%e;N;%-2;x;%e;%1;%1", {"C:\\a"}); }),
            "Internal error. Wrong constant ID");
}

}  // namespace

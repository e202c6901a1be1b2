// The order and nesting of the menu entries built from the applicable items.
#include <gtest/gtest.h>

#include "script/MenuModel.h"
#include "script/MenuScript.h"
#include "support/FakeServices.h"
#include "support/ScriptLines.h"

namespace {

// One line per entry: indent, kind mark, text, and the item index and level.
void Render(const std::vector<MenuEntry>& entries, const std::string& indent,
            std::vector<std::string>& lines) {
  for (const MenuEntry& entry : entries) {
    const std::string where =
        " #" + std::to_string(entry.itemIndex) + "@" + std::to_string(entry.level);
    switch (entry.kind) {
      case MenuEntry::Kind::kSubmenu:
        lines.push_back(indent + "> " + entry.text + where);
        Render(entry.children, indent + "  ", lines);
        break;
      case MenuEntry::Kind::kSeparator: lines.push_back(indent + "---" + where); break;
      case MenuEntry::Kind::kCommand: lines.push_back(indent + entry.text + where); break;
    }
  }
}

class MenuModelTest : public ::testing::Test {
protected:
  MenuModelTest() : script_(fake_.File("C:\\v.exe").Services()) {}

  // The model for one selected file, as the shell's position block and the end block.
  std::pair<std::vector<std::string>, std::vector<std::string>> Menu(
      std::initializer_list<std::string> lines) {
    AddLines(script_, {"%1=C:\\v.exe"});
    AddLines(script_, lines);
    script_.SelectItems({"C:\\a.txt"});
    model_ = BuildMenu(script_, {"C:\\a.txt"});
    std::pair<std::vector<std::string>, std::vector<std::string>> rendered;
    Render(model_.atShellPosition, "", rendered.first);
    Render(model_.atEnd, "", rendered.second);
    return rendered;
  }

  FakeServices fake_;
  MenuScript script_;
  MenuModel model_;
};

using Lines = std::vector<std::string>;

std::string Item(const std::string& path, const std::string& name) {
  return "0;*;" + path + ";" + name + ";%1;%e;%e;%1;%1";
}
std::string Sep(const std::string& path) { return "2;*;" + path + ";%e;%e;%e;%e;%e;%e"; }

TEST_F(MenuModelTest, PathsSharingAPrefixShareTheirSubmenus) {
  const auto [atShell, atEnd] = Menu({Item("A\\B", "b1"), Item("A\\C", "c1"), Item("A\\B", "b2"),
                                      Item("A\\B\\D", "d1"), Item("A", "a1")});
  EXPECT_EQ(atShell, (Lines{"> A #0@0", "  > B #0@1", "    b1 #0@2", "    b2 #2@2", "    > D #3@2",
                            "      d1 #3@3", "  > C #1@1", "    c1 #1@2", "  a1 #4@1"}));
  EXPECT_TRUE(atEnd.empty());
}

TEST_F(MenuModelTest, SameNameAtAnotherLevelIsAnotherSubmenu) {
  const auto [atShell, atEnd] = Menu({Item("A\\B", "deep"), Item("B", "top")});
  EXPECT_EQ(atShell, (Lines{"> B #1@0", "  top #1@1", "> A #0@0", "  > B #0@1", "    deep #0@2"}));
}

TEST_F(MenuModelTest, LaterTopLevelSubmenusAndSeparatorsStandAbove) {
  const auto [atShell, atEnd] = Menu({Item("X", "x"), Sep("%e"), Item("Y", "y"), Sep("%e")});
  EXPECT_EQ(atShell,
            (Lines{"--- #3@0", "> Y #2@0", "  y #2@1", "--- #1@0", "> X #0@0", "  x #0@1"}));
  EXPECT_TRUE(atEnd.empty());
}

TEST_F(MenuModelTest, PathlessCommandsGoToTheEndInScriptOrder) {
  const auto [atShell, atEnd] = Menu({Item("%e", "first"), Item("X", "x"), Item("%e", "second")});
  EXPECT_EQ(atShell, (Lines{"> X #1@0", "  x #1@1"}));
  EXPECT_EQ(atEnd, (Lines{"first #0@0", "second #2@0"}));
}

TEST_F(MenuModelTest, SeparatorsInSubmenusKeepScriptOrder) {
  const auto [atShell, atEnd] = Menu({Item("S", "one"), Sep("S"), Item("S", "two"), Sep("S\\T")});
  EXPECT_EQ(atShell, (Lines{"> S #0@0", "  one #0@1", "  --- #1@1", "  two #2@1", "  > T #3@1",
                            "    --- #3@2"}));
}

TEST_F(MenuModelTest, PathOfBackslashesOnlyNamesNoSubmenu) {
  // The path is not empty, so the separator is appended rather than put at the shell's position.
  const auto [atShell, atEnd] = Menu({Sep("\\"), Item("\\\\", "cmd")});
  EXPECT_TRUE(atShell.empty());
  EXPECT_EQ(atEnd, (Lines{"--- #0@0", "cmd #1@0"}));
}

TEST_F(MenuModelTest, CommandWithoutTextEndsTheInsertion) {
  AddLines(script_, {"%1=C:\\v.exe", Item("%e", "before"), Item("%e", "after")});
  script_.items[1].name.clear();  // only possible for a model built by hand
  script_.items.insert(script_.items.begin(), script_.items[1]);
  script_.items[0].name = "first";
  script_.items[0].submenuPath = "M";
  script_.SelectItems({"C:\\a.txt"});
  const MenuModel model = BuildMenu(script_, {"C:\\a.txt"});
  Lines atShell;
  Lines atEnd;
  Render(model.atShellPosition, "", atShell);
  Render(model.atEnd, "", atEnd);
  EXPECT_EQ(atShell, (Lines{"> M #0@0", "  first #0@1"}));
  EXPECT_EQ(atEnd, (Lines{"before #1@0"}));
}

TEST_F(MenuModelTest, NoApplicableItemsGiveAnEmptyMenu) {
  AddLines(script_, {"%1=C:\\v.exe", "1;*;%e;folder only;%1;%e;%e;%1;%1"});
  script_.SelectItems({"C:\\a.txt"});
  const MenuModel model = BuildMenu(script_, {"C:\\a.txt"});
  EXPECT_TRUE(model.atShellPosition.empty());
  EXPECT_TRUE(model.atEnd.empty());
}

TEST_F(MenuModelTest, EveryCommandCarriesWhatItRuns) {
  Menu({"0;*;V;Encrypt;%1;aese %f;%e;%1;%1", "0;*;%e;Broken;%-3;x;%e;%1;%1"});
  ASSERT_EQ(model_.atShellPosition.size(), 1u);
  const MenuEntry& encrypt = model_.atShellPosition[0].children.at(0);
  EXPECT_EQ(encrypt.command.program, "\"C:\\v.exe\"");
  EXPECT_EQ(encrypt.command.parameters, "aese \"C:\\a.txt\",");
  EXPECT_EQ(encrypt.commandError, "");
  ASSERT_EQ(model_.atEnd.size(), 1u);
  EXPECT_EQ(model_.atEnd[0].commandError, "Internal error. Wrong constant ID");
}

}  // namespace

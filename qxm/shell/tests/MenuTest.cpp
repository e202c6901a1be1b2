// Initialize and QueryContextMenu: the selection from the file-drop data, the
// script loaded from the registry, and the real popup menus built from it.
#include <gtest/gtest.h>

#include "shell/MenuRenderer.h"
#include "shell/ZQXM.h"
#include "support/ShellTestSupport.h"
#include "support/ZQXMProbe.h"

namespace {

constexpr UINT kFirst = 100;
constexpr UINT kSubmenu = kFirst + 1;

// Item lines of the menu tests, by index among the items a file is offered.
const std::vector<std::string> kItems = {
    "0;*;X;In X;%1;aese %f;help x;%3;%2",            // 0
    "0;txt;A\\B;In B;%1;b %f;help b;%3;%2",          // 1
    "0;*;A\\C;In C;%1;c %f;help c;%3;%2",            // 2
    "0;*;A\\C\\D;In D;%1;d %f;help d;%3;%2",         // 3
    "2;*;A;%e;%e;%e;%e;%e;%e",                       // 4
    "0;*;Y;In Y;%1;y;help y;%3;%2",                  // 5
    "0;*;%e;Bottom;%1;bottom %f;help bottom;%3;%2",  // 6
    "2;*;%e;%e;%e;%e;%e;%e;%e",                      // 7
    "1;*;X;Folder only;%1;f %f;help f;%3;%2",        // folder: after 4 and 7
};

struct Entry {
  UINT type = 0;
  UINT id = 0;
  ULONG_PTR data = 0;
  HMENU submenu = nullptr;
};

Entry EntryAt(HMENU menu, int position) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
  EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info));
  return {info.fType, info.wID, info.dwItemData, info.hSubMenu};
}

void ExpectSubmenu(HMENU menu, int position, std::int32_t index, int level) {
  SCOPED_TRACE("submenu at " + std::to_string(position));
  const Entry entry = EntryAt(menu, position);
  EXPECT_EQ(entry.type, static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(entry.id, kSubmenu);
  EXPECT_EQ(entry.data, EntryData(index, level));
  EXPECT_NE(entry.submenu, nullptr);
}

void ExpectCommand(HMENU menu, int position, std::int32_t index) {
  SCOPED_TRACE("command at " + std::to_string(position));
  const Entry entry = EntryAt(menu, position);
  EXPECT_EQ(entry.type, static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(entry.id, kFirst);
  EXPECT_EQ(entry.data, static_cast<ULONG_PTR>(index));
  EXPECT_EQ(entry.submenu, nullptr);
}

void ExpectSeparator(HMENU menu, int position) {
  SCOPED_TRACE("separator at " + std::to_string(position));
  const Entry entry = EntryAt(menu, position);
  EXPECT_EQ(entry.type & MFT_SEPARATOR, static_cast<UINT>(MFT_SEPARATOR));
  EXPECT_EQ(entry.type & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(entry.id, 0u);
}

class MenuTest : public ::testing::Test {
protected:
  void SetUp() override {
    StoreMenuScript(kItems);
    menu_ = CreatePopupMenu();
    AppendMenuA(menu_, MF_STRING, 1, "Open");
    AppendMenuA(menu_, MF_STRING, 2, "Properties");
  }
  void TearDown() override {
    DestroyMenu(menu_);
    if (object_ != nullptr) object_->Release();
  }

  HRESULT Initialize(const std::vector<std::string>& paths, bool hasDrop = true) {
    object_ = new CZQXM();
    IDataObject* data = NewDropData(paths, hasDrop);
    const HRESULT hr = object_->Initialize(nullptr, data, nullptr);
    data->Release();
    return hr;
  }

  MessageCatcher messages_;
  HMENU menu_ = nullptr;
  CZQXM* object_ = nullptr;
};

TEST_F(MenuTest, TheMenuOfAFileIsBuiltEntryByEntry) {
  ASSERT_EQ(Initialize({"C:\\docs\\notes.txt"}), S_OK);
  EXPECT_EQ(object_->QueryContextMenu(menu_, 1, kFirst, kFirst + 50, CMF_NORMAL), 2);
  EXPECT_TRUE(messages_.Shown().empty());

  // Top level: separator and submenus at the shell's position, the later
  // above the earlier; the command without a path at the very end.
  ASSERT_EQ(GetMenuItemCount(menu_), 7);
  EXPECT_EQ(EntryAt(menu_, 0).id, 1u);
  ExpectSeparator(menu_, 1);
  ExpectSubmenu(menu_, 2, 5, 0);  // Y
  ExpectSubmenu(menu_, 3, 1, 0);  // A, made by item 1
  ExpectSubmenu(menu_, 4, 0, 0);  // X
  EXPECT_EQ(EntryAt(menu_, 5).id, 2u);
  ExpectCommand(menu_, 6, 6);  // Bottom

  const HMENU y = EntryAt(menu_, 2).submenu;
  ASSERT_EQ(GetMenuItemCount(y), 1);
  ExpectCommand(y, 0, 5);

  // A holds B and C in script order, then its separator; C holds D one level deeper.
  const HMENU a = EntryAt(menu_, 3).submenu;
  ASSERT_EQ(GetMenuItemCount(a), 3);
  ExpectSubmenu(a, 0, 1, 1);
  ExpectSubmenu(a, 1, 2, 1);
  ExpectSeparator(a, 2);
  const HMENU b = EntryAt(a, 0).submenu;
  ASSERT_EQ(GetMenuItemCount(b), 1);
  ExpectCommand(b, 0, 1);
  const HMENU c = EntryAt(a, 1).submenu;
  ASSERT_EQ(GetMenuItemCount(c), 2);
  ExpectCommand(c, 0, 2);
  ExpectSubmenu(c, 1, 3, 2);
  const HMENU d = EntryAt(c, 1).submenu;
  ASSERT_EQ(GetMenuItemCount(d), 1);
  ExpectCommand(d, 0, 3);

  const HMENU x = EntryAt(menu_, 4).submenu;
  ASSERT_EQ(GetMenuItemCount(x), 1);
  ExpectCommand(x, 0, 0);
}

TEST_F(MenuTest, AFolderIsOfferedTheFolderItemsAndSeparators) {
  ASSERT_EQ(Initialize({TempFolder()}), S_OK);
  const auto& applicable = ZQXMProbe::Script(*object_).applicable;
  ASSERT_EQ(applicable.size(), 3u);
  EXPECT_EQ(applicable[0].type, Separator);
  EXPECT_EQ(applicable[1].type, Separator);
  EXPECT_EQ(applicable[2].name, "Folder only");
  EXPECT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 50, CMF_NORMAL), 2);
  // Each new top-level entry goes above the ones before: X, the separator, A.
  ASSERT_EQ(GetMenuItemCount(menu_), 5);
  ExpectSubmenu(menu_, 0, 2, 0);
  ExpectSeparator(menu_, 1);
  ExpectSubmenu(menu_, 2, 0, 0);
  const HMENU a = EntryAt(menu_, 2).submenu;
  ASSERT_EQ(GetMenuItemCount(a), 1);
  ExpectSeparator(a, 0);
  EXPECT_EQ(EntryAt(menu_, 3).id, 1u);
}

TEST_F(MenuTest, EveryPathIsCollectedWholeEvenBeyondTwoHundredSixtyBytes) {
  const std::string longPath =
      "C:\\" + std::string(150, 'a') + "\\" + std::string(150, 'b') + ".txt";
  ASSERT_EQ(Initialize({"C:\\first.txt", longPath, "C:\\x"}), S_OK);
  ASSERT_EQ(ZQXMProbe::SelectedPaths(*object_).size(), 3u);
  EXPECT_EQ(ZQXMProbe::SelectedPaths(*object_)[0], L"C:\\first.txt");
  EXPECT_EQ(ZQXMProbe::SelectedPaths(*object_)[1], Wide(longPath));
  EXPECT_EQ(ZQXMProbe::SelectedPaths(*object_)[2], L"C:\\x");
  // Several files: every file item, the txt one included.
  EXPECT_EQ(ZQXMProbe::Script(*object_).applicable.size(), 8u);
}

TEST_F(MenuTest, NoUsableSelectionGivesNoMenu) {
  char startMenu[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, startMenu, CSIDL_STARTMENU, FALSE));
  std::string upper = startMenu;
  CharUpperA(upper.data());
  const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
      {{"C:\\a.txt"}, false},  // no file-drop data
      {{}, true},              // no paths in it
      {{upper}, true},         // the Start Menu folder, in any case
  };
  for (const auto& [paths, hasDrop] : cases) {
    SCOPED_TRACE(paths.empty() ? std::string("none") : paths[0]);
    EXPECT_EQ(Initialize(paths, hasDrop), E_INVALIDARG);
    EXPECT_FALSE(ZQXMProbe::MenuActive(*object_));
    EXPECT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 50, CMF_NORMAL), S_OK);
    EXPECT_EQ(GetMenuItemCount(menu_), 2);
    object_->Release();
    object_ = nullptr;
  }
  EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(MenuTest, AMissingScriptIsReportedAndTheMenuStaysEmpty) {
  DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Ordal context menu");
  EXPECT_EQ(Initialize({"C:\\a.txt"}), S_OK);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text,
            "Error opening registry key for load scripts. Maybe, you forget install COM server.\n"
            " Use: regsvr32 /i:\"...\\QXM.qxm\" QXM.dll");
  EXPECT_EQ(messages_.Shown()[0].caption, "Error");
  EXPECT_EQ(messages_.Shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 50, CMF_NORMAL);
  EXPECT_EQ(GetMenuItemCount(menu_), 2);
}

TEST_F(MenuTest, AStoredLineThatNoLongerParsesLeavesTheMenuEmpty) {
  StoreScript(kItems, {"%1=C:\\removed since\\veilor.exe"});
  EXPECT_EQ(Initialize({"C:\\a.txt"}), S_OK);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text.rfind("Wrong constant value. Invalid path. Source line: ", 0),
            0u)
      << messages_.Shown()[0].text;
  EXPECT_EQ(messages_.Shown()[0].caption, "Error");
  object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 50, CMF_NORMAL);
  EXPECT_EQ(GetMenuItemCount(menu_), 2);
}

TEST_F(MenuTest, ADefaultOnlyQueryInsertsNothingAndDisablesTheObject) {
  ASSERT_EQ(Initialize({"C:\\a.txt"}), S_OK);
  EXPECT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 50, CMF_DEFAULTONLY), S_OK);
  EXPECT_EQ(GetMenuItemCount(menu_), 2);
  EXPECT_FALSE(ZQXMProbe::MenuActive(*object_));
  // Later queries insert nothing either.
  EXPECT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 50, CMF_NORMAL), S_OK);
  EXPECT_EQ(GetMenuItemCount(menu_), 2);
}

TEST_F(MenuTest, TheLargestFirstIdLeavesNoRoomForTheSubmenuId) {
  ASSERT_EQ(Initialize({"C:\\a.txt"}), S_OK);
  EXPECT_EQ(object_->QueryContextMenu(menu_, 0, 0xFFFFFFFFu, 0xFFFFFFFFu, CMF_NORMAL), S_OK);
  EXPECT_EQ(GetMenuItemCount(menu_), 2);
  ASSERT_EQ(messages_.Shown().size(), 1u);
  EXPECT_EQ(messages_.Shown()[0].text, "Internal error. Wrong ID's range");
  EXPECT_EQ(messages_.Shown()[0].caption, "Error");
}

}  // namespace

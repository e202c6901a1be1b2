// Measuring and painting the owner-drawn entries, what painting records, and
// the help text that follows the highlighted entry.
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/MenuPainter.h"
#include "shell/MenuRenderer.h"
#include "shell/ZQXM.h"
#include "support/OpenMenuTest.h"
#include "support/ShellTestSupport.h"
#include "support/ZQXMProbe.h"

namespace {

constexpr UINT kFirst = OpenMenuTest::kFirst;
constexpr UINT kSubmenu = kFirst + 1;
constexpr int kWidth = 160;
constexpr int kHeight = 24;
constexpr COLORREF kMarker = RGB(255, 0, 255);

const std::vector<std::string> kItems = {
    "0;*;%e;With icon;%1;aese %f;help icon;%3;%2",        // 0
    "0;*;%e;Without icon;%1;aesd %f;help no icon;%4;%4",  // 1: its icon file is no icon
    "0;*;Outer\\Inner;Deep;%1;x;help deep;%3;%2",         // 2
};

// A 32-bit bitmap selected into a memory device context, filled with the marker.
class Canvas {
public:
  explicit Canvas(int width = kWidth, int height = kHeight) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_),
                               nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width_ * height_; ++i) pixels_[i] = 0x00FF00FF;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels in the columns [from, to) that are neither of the two colours.
  int OtherPixels(int from, int to, COLORREF a, COLORREF b) const {
    int count = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = from; x < to; ++x) {
        const COLORREF c = At(x, y);
        if (c != a && c != b) ++count;
      }
    }
    return count;
  }

  // Pixels in the columns [from, to) of a colour that is no grey (as the
  // menu's text and background are) and not the marker: the icon's own.
  int ColouredPixels(int from, int to) const {
    int count = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = from; x < to; ++x) {
        const COLORREF c = At(x, y);
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        if (c != kMarker && std::max({r, g, b}) - std::min({r, g, b}) > 60) ++count;
      }
    }
    return count;
  }

private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* pixels_ = nullptr;
};

// The shell's request to paint a whole entry of that size into the canvas.
DRAWITEMSTRUCT Drawing(const Canvas& canvas, UINT id, ULONG_PTR data, int width, int height) {
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_MENU;
  draw.itemID = id;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hDC = canvas.Dc();
  SetRect(&draw.rcItem, 0, 0, width, height);
  draw.itemData = data;
  return draw;
}

class PaintTest : public OpenMenuTest {
protected:
  void SetUp() override { Open(kItems, NewDropData({"C:\\a.txt", "C:\\b.txt"})); }

  void Draw(Canvas& canvas, UINT id, ULONG_PTR data, bool selected) {
    DRAWITEMSTRUCT draw = Drawing(canvas, id, data, kWidth, kHeight);
    draw.itemState = selected ? ODS_SELECTED : 0;
    EXPECT_EQ(object_->HandleMenuMsg2(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), nullptr),
              S_OK);
  }

  HRESULT Help(UINT type, char* buffer, UINT size) {
    return object_->GetCommandString(kFirst, type, nullptr, buffer, size);
  }

  MessageCatcher messages_;
};

// A line of text in the screen's font, worked out from the font's own
// metrics rather than with the extent call the painter measures with: the
// advance widths of its characters, and the font's height.
SIZE ScreenExtent(const std::string& text) {
  SIZE extent = {};
  HDC screen = GetDC(nullptr);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(screen, &metrics);
  extent.cy = metrics.tmHeight;
  for (const unsigned char c : text) {
    INT width = 0;
    GetCharWidth32A(screen, c, c, &width);
    extent.cx += width;
  }
  ReleaseDC(nullptr, screen);
  return extent;
}

TEST_F(PaintTest, AnEntryIsMeasuredByItsOwnTextOnTheScreenFont) {
  const std::pair<UINT, ULONG_PTR> entries[] = {
      {kFirst, EntryData(0, 0)},    // a command: its name
      {kSubmenu, EntryData(2, 1)},  // a submenu: its name at its level, "Inner"
  };
  const std::string texts[] = {"With icon", "Inner"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(texts[i]);
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = entries[i].first;
    measure.itemData = entries[i].second;
    EXPECT_EQ(object_->HandleMenuMsg(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), S_OK);
    const SIZE extent = ScreenExtent(texts[i]);
    ASSERT_GT(extent.cx, 0);
    EXPECT_EQ(measure.itemWidth, static_cast<UINT>(extent.cx + 20));
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(std::max<LONG>(extent.cy + 4, 20)));
  }
  // An entry that names no applicable item is left as it is.
  MEASUREITEMSTRUCT unknown = {};
  unknown.itemID = kFirst;
  unknown.itemData = EntryData(9, 0);
  unknown.itemWidth = 7;
  unknown.itemHeight = 7;
  object_->HandleMenuMsg(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&unknown));
  EXPECT_EQ(unknown.itemWidth, 7u);
  EXPECT_EQ(unknown.itemHeight, 7u);
}

TEST_F(PaintTest, TheIconIsDrawnAtTheLeftAndTheTextEighteenPixelsIn) {
  Canvas canvas;
  SetTextColor(canvas.Dc(), RGB(1, 2, 3));
  SetBkColor(canvas.Dc(), RGB(4, 5, 6));
  Draw(canvas, kFirst, EntryData(0, 0), false);
  const COLORREF back = GetSysColor(COLOR_MENU);
  EXPECT_EQ(canvas.At(kWidth - 1, 0), back);                    // the whole entry is filled
  EXPECT_GT(canvas.OtherPixels(0, 16, back, kMarker), 20);      // the icon's own colours
  EXPECT_EQ(canvas.OtherPixels(16, 18, back, kMarker), 0);      // the gap beside it
  EXPECT_GT(canvas.OtherPixels(18, kWidth, back, kMarker), 0);  // the text
  // The caller's colours are back.
  EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(canvas.Dc()), RGB(4, 5, 6));
}

TEST_F(PaintTest, AtOneAndAHalfTimesTheDesignDpiTheEntryItsTextAndIconScale) {
  // At 144 DPI the design's 96-DPI sizes grow by half: +20/+4 become +30/+6,
  // the least height 20 becomes 30, the 16-pixel icon 24, the indent 27.
  MEASUREITEMSTRUCT at96 = {};
  at96.CtlType = ODT_MENU;
  at96.itemID = kFirst;
  at96.itemData = EntryData(0, 0);
  MEASUREITEMSTRUCT at144 = at96;
  MeasureItemAtDpi(ZQXMProbe::Script(*object_), kSubmenu, at96, 96);
  MeasureItemAtDpi(ZQXMProbe::Script(*object_), kSubmenu, at144, 144);
  const int text96 = static_cast<int>(at96.itemWidth) - 20;
  const int text144 = static_cast<int>(at144.itemWidth) - 30;
  ASSERT_GT(text96, 0);
  EXPECT_GT(text144 * 10, text96 * 13);  // the screen's font at the DPI
  EXPECT_GE(at144.itemHeight, 30u);
  EXPECT_GE(at144.itemHeight * 10, at96.itemHeight * 14);

  constexpr int kWide = 240;
  constexpr int kHigh = 36;
  Canvas canvas(kWide, kHigh);
  DRAWITEMSTRUCT draw = Drawing(canvas, kFirst, EntryData(0, 0), kWide, kHigh);
  PaintState state;
  DrawItemAtDpi(ZQXMProbe::Script(*object_), kSubmenu, draw, state, 144);
  const COLORREF back = GetSysColor(COLOR_MENU);
  EXPECT_GT(canvas.ColouredPixels(16, 24), 10);             // the icon, 24 wide
  EXPECT_EQ(canvas.OtherPixels(24, 27, back, kMarker), 0);  // the gap beside it
  EXPECT_GT(canvas.OtherPixels(27, kWide, back, kMarker), 0);
  EXPECT_EQ(canvas.At(kWide - 1, kHigh - 1), back);  // the whole entry is filled
}

// The screen's DPI for the processes started while it lives: Wine reads it
// from the user's LogPixels at each process start.
class ScreenDpi {
public:
  explicit ScreenDpi(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS;
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  ~ScreenDpi() {
    if (had_) {
      RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof old_);
    } else {
      RegDeleteValueA(key_, "LogPixels");
    }
    RegCloseKey(key_);
  }
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

private:
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

// The DPI is fixed at process start: the test runs its checks in a second
// process of this program started on a 144-DPI screen.
TEST_F(PaintTest, OnAScreenAt144DpiTheMenuIsMeasuredAndPaintedAtIt) {
  constexpr char kChild[] = "QXM_TEST_SCREEN_AT_144";
  if (GetEnvironmentVariableA(kChild, nullptr, 0) == 0) {
    ScreenDpi dpi(144);
    SetEnvironmentVariableA(kChild, "1");
    const long code =
        RunAndWait("\"" + TestBinDir() +
                   "\\qxm_shell_tests.exe\" --gtest_filter=PaintTest.OnAScreenAt144Dpi*");
    SetEnvironmentVariableA(kChild, nullptr);
    EXPECT_EQ(code, 0);
    return;
  }
  HDC screen = GetDC(nullptr);
  const int screenDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(screenDpi, 144);

  // The menu's measure: the screen's font as it is, the design's sizes by half again.
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  measure.itemID = kFirst;
  measure.itemData = EntryData(0, 0);
  object_->HandleMenuMsg(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
  const SIZE extent = ScreenExtent("With icon");
  EXPECT_EQ(measure.itemWidth, static_cast<UINT>(extent.cx + 30));
  EXPECT_EQ(measure.itemHeight, static_cast<UINT>(std::max<LONG>(extent.cy + 6, 30)));

  // Painted into a device context of that screen: a 24-pixel icon, text 27 in.
  constexpr int kWide = 240;
  constexpr int kHigh = 36;
  Canvas canvas(kWide, kHigh);
  DRAWITEMSTRUCT draw = Drawing(canvas, kFirst, EntryData(0, 0), kWide, kHigh);
  object_->HandleMenuMsg2(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), nullptr);
  const COLORREF back = GetSysColor(COLOR_MENU);
  EXPECT_GT(canvas.ColouredPixels(16, 24), 10);
  EXPECT_EQ(canvas.OtherPixels(24, 27, back, kMarker), 0);
}

TEST_F(PaintTest, AnIconFileThatDoesNotLoadLeavesTheTextWhereItWas) {
  Canvas canvas;
  Draw(canvas, kFirst, EntryData(1, 0), false);
  const COLORREF back = GetSysColor(COLOR_MENU);
  // No icon: the left columns hold only the background, the text starts 18 in.
  EXPECT_EQ(canvas.OtherPixels(0, 18, back, back), 0);
  EXPECT_GT(canvas.OtherPixels(18, kWidth, back, back), 0);
  EXPECT_EQ(canvas.At(kWidth - 1, kHeight - 1), back);
}

TEST_F(PaintTest, AHighlightedEntryIsPaintedInTheHighlightColoursAndRecorded) {
  Canvas canvas;
  Draw(canvas, kFirst, EntryData(1, 0), true);
  EXPECT_EQ(canvas.At(kWidth - 1, 0), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemIndex, 1);
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemId, static_cast<std::int32_t>(kFirst));
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastLevel, 0);
  // Painting another entry plainly moves the last entry, not the highlighted one.
  Draw(canvas, kSubmenu, EntryData(2, 1), false);
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemIndex, 1);
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemId, static_cast<std::int32_t>(kSubmenu));
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastLevel, 1);
  // An entry that names no item is not painted and changes nothing.
  Canvas untouched;
  Draw(untouched, kFirst, EntryData(9, 0), true);
  EXPECT_EQ(untouched.At(0, 0), kMarker);
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemIndex, 1);
}

TEST_F(PaintTest, TheHelpTextFollowsTheHighlightedEntry) {
  char buffer[64] = "unchanged";
  // Nothing highlighted yet.
  EXPECT_EQ(Help(GCS_HELPTEXTA, buffer, sizeof buffer), E_INVALIDARG);
  EXPECT_STREQ(buffer, "unchanged");

  Canvas canvas;
  Draw(canvas, kFirst, EntryData(1, 0), true);
  EXPECT_EQ(Help(GCS_HELPTEXTA, buffer, sizeof buffer), S_OK);
  EXPECT_STREQ(buffer, "help no icon");
  wchar_t wide[64] = {};
  EXPECT_EQ(Help(GCS_HELPTEXTW, reinterpret_cast<char*>(wide), 64), S_OK);
  EXPECT_STREQ(wide, L"help no icon");
  // At most size characters, the terminator included.
  EXPECT_EQ(Help(GCS_HELPTEXTA, buffer, 5), S_OK);
  EXPECT_STREQ(buffer, "help");
  EXPECT_EQ(Help(GCS_HELPTEXTW, reinterpret_cast<char*>(wide), 3), S_OK);
  EXPECT_STREQ(wide, L"he");
  // Only help texts are answered.
  EXPECT_EQ(Help(GCS_VERBA, buffer, sizeof buffer), E_INVALIDARG);
  EXPECT_EQ(Help(GCS_VALIDATEW, buffer, sizeof buffer), E_INVALIDARG);

  // A highlighted submenu entry: its name at its level.
  Draw(canvas, kSubmenu, EntryData(2, 1), true);
  EXPECT_EQ(Help(GCS_HELPTEXTA, buffer, sizeof buffer), S_OK);
  EXPECT_STREQ(buffer, "Inner");
}

TEST_F(PaintTest, APopupAboutToOpenIsAnsweredOnlyForOrdinaryMenus) {
  LRESULT result = 0;
  EXPECT_EQ(object_->HandleMenuMsg2(WM_INITMENUPOPUP, 0, MAKELPARAM(0, 0), &result), S_OK);
  EXPECT_EQ(result, 1);
  result = 0;
  EXPECT_EQ(object_->HandleMenuMsg2(WM_INITMENUPOPUP, 0, MAKELPARAM(0, 1), &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(object_->HandleMenuMsg(WM_INITMENUPOPUP, 0, 0), S_OK);
}

TEST_F(PaintTest, AnInactiveObjectNeitherPaintsNorAnswers) {
  ASSERT_EQ(object_->QueryContextMenu(menu_, 0, kFirst, kFirst + 10, CMF_DEFAULTONLY), S_OK);
  Canvas canvas;
  Draw(canvas, kFirst, EntryData(0, 0), true);
  EXPECT_EQ(canvas.At(kWidth - 1, 0), kMarker);
  EXPECT_EQ(ZQXMProbe::Painted(*object_).lastItemIndex, -1);
  char buffer[16] = {};
  EXPECT_EQ(Help(GCS_HELPTEXTA, buffer, sizeof buffer), E_INVALIDARG);
}

}  // namespace

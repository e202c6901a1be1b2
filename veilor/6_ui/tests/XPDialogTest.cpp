// The skinned window shown for real under a private X server.
#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/textctrl.h>

#include "1_base/Exceptions.h"
#include "6_ui/ImageStore.h"
#include "6_ui/XPDialog.h"
#include "TempDir.h"
#include "WindowTesting.h"

namespace {
using namespace std::chrono_literals;

constexpr int kTimedOut = 99;
const wxColour kSkinColour(0xC8, 0xD8, 0xE0);

class XPDialogTest : public testing::Test {
protected:
  XPDialogTest() { CImageStore::Instance(); }  // registers the PNG handler

  // A skin of one colour with a black square hole at `hole`.
  wxString WriteSkin(wxSize size, wxRect hole = wxRect()) {
    wxImage image(size);
    image.SetRGB(wxRect(size), kSkinColour.Red(), kSkinColour.Green(), kSkinColour.Blue());
    if (!hole.IsEmpty()) image.SetRGB(hole, 0, 0, 0);
    const wxString path = dir_ / "skin.png";
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
  }

  // Shows `dialog`, runs `action` inside its loop, and returns its result.
  int RunWith(CXPDialog& dialog, const wxString& skin, std::function<void()> action,
              wxWindow* focus = nullptr) {
    WhenLoopRuns(std::move(action));
    SafetyNet net([&] { dialog.EndModal(kTimedOut); }, 10s);
    return dialog.ShowModal(skin, focus, 255);
  }

  TempDir dir_;
};

TEST_F(XPDialogTest, MissingOrBrokenSkinFailsBeforeShowing) {
  CXPDialog dialog(nullptr, -1, "Prompt");
  try {
    dialog.ShowModal(dir_ / "absent.png", nullptr, 220);
    ADD_FAILURE() << "no exception";
  } catch (const CXPDialogException& error) {
    EXPECT_EQ(error.GetMessage(), "PNG file not found");
    EXPECT_EQ(error.GetModule(), "XP dialog exception");
  }
  WriteFileBytes(dir_ / "broken.png", "\x89PNG\r\n\x1a\nthis is not an image");
  try {
    dialog.ShowModal(dir_ / "broken.png", nullptr, 220);
    ADD_FAILURE() << "no exception";
  } catch (const CXPDialogException& error) {
    EXPECT_EQ(error.GetMessage(), "PNG file is invalid");
  }
  EXPECT_FALSE(dialog.IsShown());
  dialog.Destroy();
}

TEST_F(XPDialogTest, TakesTheSkinsSizeAndEndsWithTheGivenResult) {
  CXPDialog dialog(nullptr, -1, "Prompt", wxPoint(50, 50), wxSize(300, 300));
  wxSize shownSize;
  bool shownBorderless = false;
  const int result = RunWith(dialog, WriteSkin(wxSize(120, 50)), [&] {
    shownSize = dialog.GetSize();
    shownBorderless = dialog.IsShown() && dialog.HasFlag(wxBORDER_NONE);
    dialog.EndModal(7);
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(shownSize, dialog.FromDIP(wxSize(120, 50)));
  EXPECT_TRUE(shownBorderless);
  EXPECT_FALSE(dialog.IsShown());
  dialog.Destroy();
}

TEST_F(XPDialogTest, CloseRequestEndsWithOne) {
  CXPDialog dialog(nullptr, -1, "Prompt");
  EXPECT_EQ(RunWith(dialog, WriteSkin(wxSize(80, 40)), [&] { dialog.Close(); }), 1);
  dialog.Destroy();
}

// Black pixels of the skin are not part of the window: what lies behind it
// shows through there.
TEST_F(XPDialogTest, BlackPixelsAreHoles) {
  wxFrame behind(nullptr, -1, "behind", wxPoint(0, 0), wxSize(400, 300), wxBORDER_NONE);
  behind.SetBackgroundColour(*wxRED);
  // The screen is read once each window has been painted: reading it before
  // the dialog comes up keeps the dialog from being drawn under Xvfb.
  bool behindPainted = false;
  behind.Bind(wxEVT_PAINT, [&](wxPaintEvent& event) {
    behindPainted = true;
    event.Skip();
  });
  behind.Show();
  behind.Update();  // Windows paints here, the X server once it has mapped it
  ASSERT_TRUE(SettleUntil([&] { return behindPainted; }));

  CXPDialog dialog(nullptr, -1, wxEmptyString, wxPoint(100, 100));
  bool dialogPainted = false;
  dialog.Bind(wxEVT_PAINT, [&](wxPaintEvent& event) {
    dialogPainted = true;
    event.Skip();
  });
  wxColour inHole, onSkin;
  RunWith(dialog, WriteSkin(wxSize(100, 60), wxRect(40, 20, 20, 20)), [&] {
    dialog.Move(100, 100);
    // Once the skin is drawn, its shape is already applied.
    const wxPoint origin(100, 100);
    const wxPoint skinPoint = origin + dialog.FromDIP(wxPoint(80, 50));
    SettleUntil([&] { return dialogPainted && ScreenPixel(skinPoint) == kSkinColour; });
    onSkin = ScreenPixel(skinPoint);
    inHole = ScreenPixel(origin + dialog.FromDIP(wxPoint(50, 30)));
    dialog.EndModal(0);
  });
  EXPECT_EQ(inHole, *wxRED);
  EXPECT_EQ(onSkin, kSkinColour);
  dialog.Destroy();
}

TEST_F(XPDialogTest, InitialFocusArrivesOnceTheWindowIdles) {
  CXPDialog dialog(nullptr, -1, "Prompt");
  auto* field = new wxTextCtrl(&dialog, -1, "", wxPoint(8, 38), wxSize(100, 19));
  auto* other = new wxTextCtrl(&dialog, -1, "", wxPoint(8, 60), wxSize(100, 19));
  other->SetFocus();
  wxWindow* focused = nullptr;
  RunWith(
      dialog, WriteSkin(wxSize(200, 98)),
      [&] {
        SettleUntil([&] { return HasFocus(field); });
        focused = wxWindow::FindFocus();
        dialog.EndModal(0);
      },
      field);
  EXPECT_EQ(focused, field);
  dialog.Destroy();
}
}  // namespace

// A skin drawn for 96 DPI, scaled for a denser screen.
#include <gtest/gtest.h>
#include <wx/colour.h>
#include <wx/image.h>

#include "6_ui/SkinScaling.h"

namespace {
const wxColour kSkin(0xC8, 0xD8, 0xE0);

wxColour At(const wxImage& image, int x, int y) {
  return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

// At 150 % a skin of one colour with a black hole stays two colours: the hole
// is scaled as it is, and its black does not bleed into the window's edge as a
// dark fringe (which would be part of the window).
TEST(SkinScalingTest, HolesScaleAsTheyAreWithoutBlendingIntoTheWindow) {
  wxImage skin(40, 20);
  skin.SetRGB(wxRect(0, 0, 40, 20), kSkin.Red(), kSkin.Green(), kSkin.Blue());
  skin.SetRGB(wxRect(10, 4, 10, 10), 0, 0, 0);
  skin.SetRGB(wxRect(0, 0, 2, 2), 0, 0, 0);  // a corner outside the window

  const wxImage scaled = ScaleSkin(skin, wxSize(60, 30));
  ASSERT_EQ(scaled.GetSize(), wxSize(60, 30));
  int holePixels = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const wxColour colour = At(scaled, x, y);
      if (colour == *wxBLACK) {
        ++holePixels;
      } else {
        EXPECT_EQ(colour, kSkin) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(At(scaled, 22, 13), *wxBLACK);  // the hole's middle
  EXPECT_EQ(At(scaled, 0, 0), *wxBLACK);
  // 1.5 times as wide and high, give or take the rounding at one edge.
  EXPECT_NEAR(holePixels, 15 * 15 + 3 * 3, 16 + 4);
}

}  // namespace

#include "6_ui/SkinScaling.h"

#include <algorithm>
#include <vector>

namespace {
bool IsBlack(const unsigned char* rgb) { return rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0; }

// Paints the black pixels with the colour of the nearest window pixel in their
// row (or, for a row without any, of the nearest such row), so that smooth
// resampling blends the window's edge only with colours of the window.
wxImage BleedIntoHoles(const wxImage& skin) {
  wxImage bled = skin.Copy();
  const int width = bled.GetWidth();
  const int height = bled.GetHeight();
  unsigned char* data = bled.GetData();
  auto pixel = [&](int x, int y) { return data + 3 * (static_cast<long>(y) * width + x); };
  std::vector<bool> rowHasWindow(height, false);
  for (int y = 0; y < height; ++y) {
    std::vector<int> nearest(width, -1);
    int last = -1;
    for (int x = 0; x < width; ++x) {
      if (!IsBlack(pixel(x, y))) last = x;
      nearest[x] = last;
    }
    rowHasWindow[y] = last >= 0;
    last = -1;
    for (int x = width - 1; x >= 0; --x) {
      if (!IsBlack(pixel(x, y))) last = x;
      if (last >= 0 && (nearest[x] < 0 || last - x < x - nearest[x])) nearest[x] = last;
    }
    for (int x = 0; x < width; ++x) {
      if (nearest[x] >= 0 && nearest[x] != x) std::copy_n(pixel(nearest[x], y), 3, pixel(x, y));
    }
  }
  for (int y = 0; y < height; ++y) {
    if (rowHasWindow[y]) continue;
    for (int distance = 1; distance < height; ++distance) {
      const int from = y - distance >= 0 && rowHasWindow[y - distance]       ? y - distance
                       : y + distance < height && rowHasWindow[y + distance] ? y + distance
                                                                             : -1;
      if (from < 0) continue;
      std::copy_n(pixel(0, from), 3 * width, pixel(0, y));
      break;
    }
  }
  return bled;
}
}  // namespace

wxImage ScaleSkin(const wxImage& skin, const wxSize& size) {
  if (skin.GetSize() == size) return skin;
  const wxImage outline = skin.Scale(size.x, size.y, wxIMAGE_QUALITY_NEAREST);
  wxImage scaled = BleedIntoHoles(skin).Scale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
  const unsigned char* in = outline.GetData();
  unsigned char* out = scaled.GetData();
  for (long i = 0, n = static_cast<long>(size.x) * size.y; i < n; ++i, in += 3, out += 3) {
    if (IsBlack(in)) {
      out[0] = out[1] = out[2] = 0;
    } else if (IsBlack(out)) {
      out[2] = 1;  // inside the window: the darkest colour that is not a hole
    }
  }
  return scaled;
}

#pragma once

#include <windows.h>

// Every size of the menu's design is given at 96 DPI.
constexpr UINT kDesignDpi = 96;

// The DPI a menu is shown at: that of the window the device context belongs
// to where the system tells a window's DPI (Windows 10 1607 on), else the
// device context's own; 96 when neither answers.
UINT MenuDpi(HDC dc);

// A size given at 96 DPI, at the given DPI.
int ScaleToDpi(int pixels, UINT dpi);

// Selects the device context's current font, scaled from the context's own
// DPI to the given one, for as long as it lives; leaves the font alone when
// the two agree.
class DpiFont {
public:
  DpiFont(HDC dc, UINT dpi);
  ~DpiFont();
  DpiFont(const DpiFont&) = delete;
  DpiFont& operator=(const DpiFont&) = delete;

private:
  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

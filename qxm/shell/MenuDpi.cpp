#include "MenuDpi.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up at run time: older systems lack it, and the library must load there.
GetDpiForWindowFunction WindowDpiFunction() {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (user == nullptr) return nullptr;
  return reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
}

UINT ContextDpi(HDC dc) {
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT MenuDpi(HDC dc) {
  static const GetDpiForWindowFunction windowDpi = WindowDpiFunction();
  HWND window = WindowFromDC(dc);
  if (windowDpi != nullptr && window != nullptr) {
    const UINT dpi = windowDpi(window);
    if (dpi != 0) return dpi;
  }
  return ContextDpi(dc);
}

int ScaleToDpi(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

DpiFont::DpiFont(HDC dc, UINT dpi) : dc_(dc) {
  const UINT own = ContextDpi(dc);
  if (own == dpi) return;
  LOGFONTW font = {};
  HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
  if (current == nullptr || GetObjectW(current, sizeof font, &font) == 0) return;
  // A font of default height has the height its metrics tell.
  if (font.lfHeight == 0) {
    TEXTMETRICW metrics = {};
    if (!GetTextMetricsW(dc, &metrics)) return;
    font.lfHeight = metrics.tmHeight;
  }
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(own));
  font.lfWidth = MulDiv(font.lfWidth, static_cast<int>(dpi), static_cast<int>(own));
  font_ = CreateFontIndirectW(&font);
  if (font_ != nullptr) old_ = SelectObject(dc, font_);
}

DpiFont::~DpiFont() {
  if (font_ == nullptr) return;
  SelectObject(dc_, old_);
  DeleteObject(font_);
}

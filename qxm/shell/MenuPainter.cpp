#include "MenuPainter.h"

#include "MenuDpi.h"
#include "MenuRenderer.h"
#include "script/MenuScript.h"

namespace {

// The design at 96 DPI.
constexpr int kIconSize = 16;
constexpr int kTextIndent = 18;
constexpr int kExtraWidth = 20;
constexpr int kExtraHeight = 4;
constexpr int kMinHeight = 20;

// An icon loaded from a file at the given size (the file's nearest image,
// scaled), released with its bitmaps when done.
class FileIcon {
public:
  FileIcon(const std::string& path, int size) {
    if (path.empty()) return;
    icon_ = static_cast<HICON>(
        LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    if (icon_ != nullptr && !GetIconInfo(icon_, &info_)) info_ = {};
  }
  ~FileIcon() {
    if (info_.hbmColor != nullptr) DeleteObject(info_.hbmColor);
    if (info_.hbmMask != nullptr) DeleteObject(info_.hbmMask);
    if (icon_ != nullptr) DestroyIcon(icon_);
  }
  FileIcon(const FileIcon&) = delete;
  FileIcon& operator=(const FileIcon&) = delete;

  // Drawable: loaded, with a colour bitmap.
  bool Usable() const {
    BITMAP bitmap = {};
    return icon_ != nullptr && info_.hbmColor != nullptr &&
           GetObjectA(info_.hbmColor, sizeof bitmap, &bitmap) != 0;
  }
  HICON Handle() const { return icon_; }

private:
  HICON icon_ = nullptr;
  ICONINFO info_ = {};
};

}  // namespace

std::string EntryText(const MenuScript& script, UINT submenuCommandId, UINT commandId,
                      ULONG_PTR data) {
  const ScriptItem* item = script.ItemAt(EntryIndex(data));
  if (item == nullptr) return std::string();
  return commandId == submenuCommandId ? script.SubmenuName(*item, EntryLevel(data)) : item->name;
}

void MeasureItem(const MenuScript& script, UINT submenuCommandId, MEASUREITEMSTRUCT& measure) {
  // The menu's window does not exist yet: the screen's DPI.
  UINT dpi = kDesignDpi;
  HDC screen = GetDC(nullptr);
  if (screen != nullptr) {
    dpi = MenuDpi(screen);
    ReleaseDC(nullptr, screen);
  }
  MeasureItemAtDpi(script, submenuCommandId, measure, dpi);
}

void MeasureItemAtDpi(const MenuScript& script, UINT submenuCommandId, MEASUREITEMSTRUCT& measure,
                      UINT dpi) {
  if (script.ItemAt(EntryIndex(measure.itemData)) == nullptr) return;
  const std::string text = EntryText(script, submenuCommandId, measure.itemID, measure.itemData);
  SIZE extent = {};
  HDC screen = GetDC(nullptr);
  if (screen != nullptr) {
    {
      DpiFont font(screen, dpi);
      GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    ReleaseDC(nullptr, screen);
  }
  measure.itemWidth = static_cast<UINT>(extent.cx + ScaleToDpi(kExtraWidth, dpi));
  const LONG height = extent.cy + ScaleToDpi(kExtraHeight, dpi);
  const LONG minHeight = ScaleToDpi(kMinHeight, dpi);
  measure.itemHeight = static_cast<UINT>(height < minHeight ? minHeight : height);
}

void DrawItem(const MenuScript& script, UINT submenuCommandId, const DRAWITEMSTRUCT& draw,
              PaintState& state) {
  DrawItemAtDpi(script, submenuCommandId, draw, state, MenuDpi(draw.hDC));
}

void DrawItemAtDpi(const MenuScript& script, UINT submenuCommandId, const DRAWITEMSTRUCT& draw,
                   PaintState& state, UINT dpi) {
  const ScriptItem* item = script.ItemAt(EntryIndex(draw.itemData));
  if (item == nullptr) return;
  const bool submenu = draw.itemID == submenuCommandId;
  state.lastLevel = EntryLevel(draw.itemData);
  state.lastItemId = static_cast<std::int32_t>(draw.itemID);

  HDC dc = draw.hDC;
  COLORREF oldText;
  COLORREF oldBack;
  if ((draw.itemState & ODS_SELECTED) != 0) {
    oldText = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    oldBack = SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    state.lastItemIndex = item->index;
  } else {
    oldText = SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    oldBack = SetBkColor(dc, GetSysColor(COLOR_MENU));
  }

  const RECT& entry = draw.rcItem;
  RECT textRect;
  CopyRect(&textRect, &entry);
  // A hand-edited stored script can name a negative constant; such an entry
  // simply has no icon.
  std::string iconPath;
  const std::int32_t iconId = submenu ? item->submenuIconId : item->iconId;
  if (iconId >= 0) iconPath = script.GetConstant(iconId);
  const int iconSize = ScaleToDpi(kIconSize, dpi);
  const int indent = ScaleToDpi(kTextIndent, dpi);
  {
    FileIcon icon(iconPath, iconSize);
    if (icon.Usable()) {
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &entry, "", 0, nullptr);
      DrawIconEx(dc, entry.left, entry.top + (entry.bottom - entry.top - iconSize) / 2,
                 icon.Handle(), iconSize, iconSize, 0, nullptr, DI_NORMAL);
      textRect.left += indent;
    }
  }

  // The text in the font that the system selected for the menu, which is
  // already the menu's DPI.
  const std::string text = submenu ? script.SubmenuName(*item, state.lastLevel) : item->name;
  SIZE extent = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  int y = entry.top + (entry.bottom - entry.top - extent.cy) / 2;
  if (y < entry.top) y = entry.top;
  ExtTextOutA(dc, entry.left + indent, y, ETO_OPAQUE, &textRect, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);

  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

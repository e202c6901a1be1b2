// Draws the context menu that the shipped script gives for one selected file,
// with its Veilor submenu opened beside it, into a BMP file: the picture of
// the menu in the documentation. Run under Wine with a display:
//   qxm_menu_picture.exe OUTPUT.bmp
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "script/Registry.h"
#include "shell/MenuRenderer.h"
#include "shell/Module.h"
#include "shell/ZQXM.h"
#include "support/ShellTestSupport.h"

namespace {

constexpr UINT kFirst = 100;
constexpr int kPad = 3;

// The shipped script with its paths filled in, stored as an installation would.
bool InstallShippedScript() {
  const std::string text = ShippedScriptFilledIn(QXM_SHIPPED_DIR);
  MenuScript script;
  const auto registry = OpenPlatformRegistry();
  return script.InstallScript(WriteTextFile("veilor.qxm", text), *registry);
}

struct Row {
  UINT id = 0;
  UINT type = 0;
  ULONG_PTR data = 0;
  std::string text;
  int height = 0;
  int width = 0;
};

std::vector<Row> Rows(HMENU menu, CZQXM& object) {
  std::vector<Row> rows;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    Row row{info.wID, info.fType, info.dwItemData, text, 0, 0};
    if ((row.type & MFT_SEPARATOR) != 0) {
      row.height = 8;
    } else if ((row.type & MFT_OWNERDRAW) != 0) {
      MEASUREITEMSTRUCT measure = {};
      measure.CtlType = ODT_MENU;
      measure.itemID = row.id;
      measure.itemData = row.data;
      object.HandleMenuMsg(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
      row.width = static_cast<int>(measure.itemWidth);
      row.height = static_cast<int>(measure.itemHeight);
    } else {
      SIZE extent = {};
      HDC screen = GetDC(nullptr);
      GetTextExtentPoint32A(screen, row.text.c_str(), static_cast<int>(row.text.size()), &extent);
      ReleaseDC(nullptr, screen);
      row.width = extent.cx + 20;
      row.height = std::max<int>(extent.cy + 4, 20);
    }
    rows.push_back(row);
  }
  return rows;
}

// Paints one menu as a framed column at (left, top); highlighted: that row.
int PaintMenu(HDC dc, int left, int top, const std::vector<Row>& rows, int highlighted,
              CZQXM& object) {
  int width = 120;
  int height = 0;
  for (const Row& row : rows) {
    width = std::max(width, row.width + 24);
    height += row.height;
  }
  RECT frame;
  SetRect(&frame, left, top, left + width + 2 * kPad, top + height + 2 * kPad);
  HBRUSH menuBrush = GetSysColorBrush(COLOR_MENU);
  FillRect(dc, &frame, menuBrush);
  FrameRect(dc, &frame, GetSysColorBrush(COLOR_3DSHADOW));
  int y = top + kPad;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    RECT rect;
    SetRect(&rect, left + kPad, y, left + kPad + width, y + row.height);
    if ((row.type & MFT_SEPARATOR) != 0) {
      RECT line;
      SetRect(&line, rect.left + 2, y + 3, rect.right - 2, y + 4);
      FillRect(dc, &line, GetSysColorBrush(COLOR_3DSHADOW));
    } else if ((row.type & MFT_OWNERDRAW) != 0) {
      DRAWITEMSTRUCT draw = {};
      draw.CtlType = ODT_MENU;
      draw.itemID = row.id;
      draw.itemAction = ODA_DRAWENTIRE;
      draw.itemState = static_cast<int>(i) == highlighted ? ODS_SELECTED : 0;
      draw.hDC = dc;
      draw.rcItem = rect;
      draw.itemData = row.data;
      object.HandleMenuMsg2(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), nullptr);
    } else {
      SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
      SetBkColor(dc, GetSysColor(COLOR_MENU));
      ExtTextOutA(dc, rect.left + 18, y + 2, ETO_OPAQUE, &rect, row.text.c_str(),
                  static_cast<UINT>(row.text.size()), nullptr);
    }
    y += row.height;
  }
  return width + 2 * kPad;
}

bool WriteBitmap(const char* path, HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
  if (GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) == 0) return false;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qxm_menu_picture OUTPUT.bmp\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (!InstallShippedScript()) return 1;
  auto* object = new CZQXM();
  IDataObject* data = NewDropData({"C:\\Users\\me\\Documents\\report.pdf.aes"});
  if (object->Initialize(nullptr, data, nullptr) != S_OK) return 1;
  data->Release();
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "Open");
  AppendMenuA(menu, MF_STRING, 2, "Open with...");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, 3, "Copy");
  AppendMenuA(menu, MF_STRING, 4, "Properties");
  object->QueryContextMenu(menu, 3, kFirst, kFirst + 10, CMF_NORMAL);

  const int width = 400;
  const int height = 180;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all;
  SetRect(&all, 0, 0, width, height);
  FillRect(dc, &all, GetSysColorBrush(COLOR_DESKTOP));

  // The top menu with the Veilor entry highlighted, its submenu beside it.
  const std::vector<Row> top = Rows(menu, *object);
  int veilor = -1;
  HMENU submenu = nullptr;
  int rowTop = 0;
  for (std::size_t i = 0, y = 0; i < top.size(); y += top[i].height, ++i) {
    if (top[i].id == kFirst + 1) {
      veilor = static_cast<int>(i);
      submenu = GetSubMenu(menu, static_cast<int>(i));
      rowTop = static_cast<int>(y);
    }
  }
  const int topWidth = PaintMenu(dc, 10, 10, top, veilor, *object);
  if (submenu != nullptr) {
    const std::vector<Row> inner = Rows(submenu, *object);
    PaintMenu(dc, 10 + topWidth - 2, 10 + rowTop, inner, 0, *object);
  }
  SelectObject(dc, old);
  const bool written = WriteBitmap(argv[1], dc, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(dc);
  DestroyMenu(menu);
  object->Release();
  CoUninitialize();
  return written ? 0 : 1;
}

// A COM client that does what Explorer does with the installed menu
// extension: creates it through the registry, initialises it with the
// selected paths (taken from the wide command line, so that names outside the
// ANSI code page arrive whole), builds the menu, moves onto the entry whose
// help text is given (drawing it highlighted) and invokes it.
//   qxm_menu_client PATH... "HELP TEXT"
// Exit codes: 0 invoked, 1 usage, 2 COM failure, 3 entry not found, 4 invoke failed.
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "QXM_h.h"  // CLSID_ZQXM
#include "support/DropData.h"

namespace {

constexpr UINT kFirst = 1;
constexpr UINT kLast = 0x7fff;

// Help texts are the script's 8-bit text.
std::string ToAnsi(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  narrow.resize(narrow.size() - 1);
  return narrow;
}

struct Entry {
  UINT id;
  ULONG_PTR data;
};

// Every owner-drawn command entry, submenus included, in menu order.
void CollectEntries(HMENU menu, std::vector<Entry>& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.hSubMenu != nullptr) {
      CollectEntries(info.hSubMenu, out);
    } else if ((info.fType & MFT_OWNERDRAW) != 0 && (info.fType & MFT_SEPARATOR) == 0) {
      out.push_back({info.wID, info.dwItemData});
    }
  }
}

// What the shell does when the pointer moves onto an entry.
void DrawHighlighted(IContextMenu2* menu, const Entry& entry) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 300, 24);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_MENU;
  draw.itemID = entry.id;
  draw.itemAction = ODA_SELECT;
  draw.itemState = ODS_SELECTED;
  draw.hDC = dc;
  SetRect(&draw.rcItem, 0, 0, 300, 24);
  draw.itemData = entry.data;
  menu->HandleMenuMsg(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

int Run(const std::vector<std::wstring>& paths, const char* wantedHelp) {
  IShellExtInit* init = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ZQXM, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                reinterpret_cast<void**>(&init));
  if (FAILED(hr)) {
    std::fprintf(stderr, "CoCreateInstance failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    return 2;
  }
  auto* data = DropData::FromWide(paths);
  hr = init->Initialize(nullptr, data, nullptr);
  data->Release();
  IContextMenu2* menu = nullptr;
  if (SUCCEEDED(hr)) {
    hr = init->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&menu));
  }
  init->Release();
  if (FAILED(hr)) {
    std::fprintf(stderr, "Initialize failed: 0x%08lx\n", static_cast<unsigned long>(hr));
    return 2;
  }

  int result = 3;
  HMENU popup = CreatePopupMenu();
  hr = menu->QueryContextMenu(popup, 0, kFirst, kLast, CMF_NORMAL);
  std::vector<Entry> entries;
  CollectEntries(popup, entries);
  std::printf("%zu entries\n", entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    DrawHighlighted(menu, entry);
    char help[512] = {};
    if (FAILED(
            menu->GetCommandString(entry.id - kFirst, GCS_HELPTEXTA, nullptr, help, sizeof help))) {
      continue;
    }
    std::printf("entry %zu: %s\n", i + 1, help);
    if (std::strcmp(help, wantedHelp) != 0) continue;
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(entry.id - kFirst);
    invoke.nShow = SW_SHOWNORMAL;
    hr = menu->InvokeCommand(&invoke);
    std::printf("InvokeCommand: 0x%08lx\n", static_cast<unsigned long>(hr));
    result = SUCCEEDED(hr) ? 0 : 4;
    break;
  }
  if (result == 3) std::fprintf(stderr, "no entry with the help text \"%s\"\n", wantedHelp);
  DestroyMenu(popup);
  menu->Release();
  return result;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 3) {
    std::fprintf(stderr, "usage: qxm_menu_client PATH... \"HELP TEXT\"\n");
    return 1;
  }
  const std::vector<std::wstring> paths(argv + 1, argv + argc - 1);
  const std::string wantedHelp = ToAnsi(argv[argc - 1]);
  LocalFree(argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  const int result = Run(paths, wantedHelp.c_str());
  CoUninitialize();
  std::fflush(stdout);
  return result;
}

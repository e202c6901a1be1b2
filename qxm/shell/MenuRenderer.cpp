#include "MenuRenderer.h"

#include "script/MenuModel.h"
#include "script/QXMException.h"

namespace {

// Where an entry goes: by position, or -1 for the end of the menu.
constexpr UINT kAtEnd = static_cast<UINT>(-1);

void Insert(HMENU menu, UINT position, const MENUITEMINFOA& info) {
  if (!InsertMenuItemA(menu, position, TRUE, &info)) {
    throw CQXMException("Error inserting a menu entry");
  }
}

void InsertEntry(HMENU menu, UINT position, const MenuEntry& entry, UINT commandId,
                 UINT submenuId) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  switch (entry.kind) {
    case MenuEntry::Kind::kSeparator:
      info.fMask = MIIM_FTYPE | MIIM_ID;
      info.fType = MFT_SEPARATOR;
      info.wID = 0;
      Insert(menu, position, info);
      return;
    case MenuEntry::Kind::kCommand:
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
      info.fType = MFT_OWNERDRAW;
      info.wID = commandId;
      info.dwItemData = EntryData(entry.itemIndex, 0);
      Insert(menu, position, info);
      return;
    case MenuEntry::Kind::kSubmenu: {
      HMENU popup = CreatePopupMenu();
      if (popup == nullptr) throw CQXMException("Error creating a submenu");
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
      info.fType = MFT_OWNERDRAW;
      info.wID = submenuId;
      info.dwItemData = EntryData(entry.itemIndex, entry.level);
      info.hSubMenu = popup;
      if (!InsertMenuItemA(menu, position, TRUE, &info)) {
        DestroyMenu(popup);
        throw CQXMException("Error inserting a menu entry");
      }
      // The popup belongs to its entry from here on, so it goes with the menu.
      for (const MenuEntry& child : entry.children) {
        InsertEntry(popup, kAtEnd, child, commandId, submenuId);
      }
      return;
    }
  }
}

}  // namespace

void InsertItems(HMENU menu, UINT position, UINT commandId, UINT submenuId,
                 const MenuModel& model) {
  if (submenuId < commandId) throw CQXMException("Internal error. Wrong ID's range");
  // The model lists these in the order shown; each following one goes below.
  UINT at = position;
  for (const MenuEntry& entry : model.atShellPosition) {
    InsertEntry(menu, at++, entry, commandId, submenuId);
  }
  for (const MenuEntry& entry : model.atEnd) InsertEntry(menu, kAtEnd, entry, commandId, submenuId);
}

#pragma once

#include <windows.h>

#include <cstdint>

struct MenuModel;

// The item data of an owner-drawn entry: the applicable item's index in the
// low 16 bits and, for a submenu entry, its level in the high 16 bits.
inline ULONG_PTR EntryData(std::int32_t index, int level) {
  return (static_cast<ULONG_PTR>(static_cast<std::uint16_t>(level)) << 16) |
         static_cast<std::uint16_t>(index);
}
inline std::int32_t EntryIndex(ULONG_PTR data) { return static_cast<std::int32_t>(data & 0xFFFF); }
inline int EntryLevel(ULONG_PTR data) { return static_cast<int>((data >> 16) & 0xFFFF); }

// Puts the model's entries into the shell's menu: entries for the shell's
// position go there in the model's order, the others after everything else;
// submenus become popup menus. Every entry but a separator is owner-drawn;
// every command has commandId and every submenu submenuId. Raises
// CQXMException when submenuId lies below commandId.
void InsertItems(HMENU menu, UINT position, UINT commandId, UINT submenuId, const MenuModel& model);

#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class MenuScript;

// What painting records about the entries the user looks at: the last entry
// painted, and the last one painted highlighted, whose command a pick runs.
struct PaintState {
  std::int32_t lastItemId = -1;
  std::int32_t lastItemIndex = -1;
  std::int32_t lastLevel = -1;
};

// Size of an owner-drawn entry: its text on the screen's font, 20 pixels
// wider and 4 higher, at least 20 high. Nothing is set for an entry that
// names no applicable item.
void MeasureItem(const MenuScript& script, UINT submenuCommandId, MEASUREITEMSTRUCT& measure);

// Paints an owner-drawn entry: its 16 x 16 icon at the left when the icon's
// file loads, its text 18 pixels in, in the menu's or the highlight's colours.
void DrawItem(const MenuScript& script, UINT submenuCommandId, const DRAWITEMSTRUCT& draw,
              PaintState& state);

// The text an entry shows: a submenu entry its name at its level, a command
// its item's name.
std::string EntryText(const MenuScript& script, UINT submenuCommandId, UINT commandId,
                      ULONG_PTR data);

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
// names no applicable item. Measured for the screen's DPI.
void MeasureItem(const MenuScript& script, UINT submenuCommandId, MEASUREITEMSTRUCT& measure);

// The same for a menu at the given DPI: the screen's font and every size
// above (given at 96 DPI) scaled to it.
void MeasureItemAtDpi(const MenuScript& script, UINT submenuCommandId, MEASUREITEMSTRUCT& measure,
                      UINT dpi);

// Paints an owner-drawn entry: its 16 x 16 icon at the left when the icon's
// file loads, its text 18 pixels in, in the menu's or the highlight's colours.
// Painted for the DPI of the menu that the device context belongs to.
void DrawItem(const MenuScript& script, UINT submenuCommandId, const DRAWITEMSTRUCT& draw,
              PaintState& state);

// The same at the given DPI: icon size and text indent (given at 96 DPI)
// scaled to it, the icon loaded at that size.
void DrawItemAtDpi(const MenuScript& script, UINT submenuCommandId, const DRAWITEMSTRUCT& draw,
                   PaintState& state, UINT dpi);

// The text an entry shows: a submenu entry its name at its level, a command
// its item's name.
std::string EntryText(const MenuScript& script, UINT submenuCommandId, UINT commandId,
                      ULONG_PTR data);

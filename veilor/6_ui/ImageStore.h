#pragma once

#include <map>

#include <wx/bitmap.h>
#include <wx/string.h>

// The pictures compiled into the program, decoded once and handed out by key.
class CImageStore {
public:
  // Picture keys shared with the dialogs that show them.
  enum Key : int {
    SettingsHeader = 0,
    SettingsIconLarge = 1,
    SettingsIconSmall = 2,
    PasswordManagerHeader = 3,
    PasswordManagerIcon = 4,
    PasswordEditHeader = 5,
    PasswordEditIcon = 6,
    AboutBanner = 11,
    AboutIcon = 12,
    ReportHeader = 14,
    ReportIcon = 15,
  };

  // The process-wide store. The first call decodes the pictures, so it must
  // come after the toolkit has started (bitmaps need the display on some
  // platforms); on Windows it also creates the theme folder.
  static CImageStore& Instance();

  static wxString GetThemesDir();

  // A copy of the picture; an unknown key gives an invalid bitmap, which is
  // then kept under that key.
  wxBitmap GetBitmap(int key);

private:
  CImageStore();

  std::map<int, wxBitmap> images_;
};

#pragma once

#include "6_ui/XPDialog.h"

// Lets a test read the text painted on the skin.
struct XPDialogSeam {
  static const wxString& Caption(const CXPDialog& dialog) { return dialog.caption_; }
};

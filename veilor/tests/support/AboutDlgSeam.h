#pragma once

#include <utility>

#include "6_ui/AboutDlg.h"

// Lets a test see which addresses the about box would open.
struct AboutDlgSeam {
  static void SetLinkOpener(CAboutDlg& dialog, CAboutDlg::LinkOpener opener) {
    dialog.openLink_ = std::move(opener);
  }
};

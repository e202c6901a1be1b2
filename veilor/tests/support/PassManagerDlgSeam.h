#pragma once

#include <vector>

#include "6_ui/PassManagerDlg.h"

// Lets a test see the dialog's working copy of the list before it is stored.
struct PassManagerDlgSeam {
  static const std::vector<CPasswordEntry>& Entries(const CPassManagerDlg& dialog) {
    return dialog.entries_;
  }
};

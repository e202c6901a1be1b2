#pragma once

#include "6_ui/ReportDlg.h"

// Lets a test see the report's state that the program never asks for.
struct ReportDlgSeam {
  static bool IsBusy(const CReportDlg& dialog) { return dialog.busy_; }
};

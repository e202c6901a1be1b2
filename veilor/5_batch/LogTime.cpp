#include "5_batch/LogTime.h"

namespace {
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

wxString FormatLogTime(const wxString& format, const wxDateTime& time) {
  wxString pattern = format;
  pattern.Replace("%b", kMonths[time.GetMonth()]);
  return time.Format(pattern);
}

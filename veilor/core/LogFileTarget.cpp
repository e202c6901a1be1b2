#include "core/LogFileTarget.h"

#include <wx/datetime.h>

#include "core/LogTime.h"

CLogFileTarget::CLogFileTarget(std::FILE* file, const wxString& timeStampFormat)
    : file_(file), timeStampFormat_(timeStampFormat) {}

void CLogFileTarget::DoLogRecord(wxLogLevel /*level*/, const wxString& message,
                                 const wxLogRecordInfo& info) {
  const wxString line =
      FormatLogTime(timeStampFormat_, wxDateTime(static_cast<time_t>(info.timestamp))) + ": " +
      message + "\n";
  // The log is written in the process's multibyte code page; a text that it
  // cannot hold is written as UTF-8 rather than dropped.
  wxCharBuffer bytes = line.mb_str(wxConvLibc);
  if (!bytes.data()) bytes = line.utf8_str();
  std::fputs(bytes.data(), file_);
  std::fflush(file_);
}

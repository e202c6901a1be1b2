#include "5_batch/LogFileTarget.h"

#include <wx/datetime.h>

#include "5_batch/LogTime.h"

CLogFileTarget::CLogFileTarget(std::FILE* file, const wxString& timeStampFormat)
    : file_(file), timeStampFormat_(timeStampFormat) {}

void CLogFileTarget::DoLogRecord(wxLogLevel /*level*/, const wxString& message,
                                 const wxLogRecordInfo& info) {
  const wxString line =
      FormatLogTime(timeStampFormat_, wxDateTime(static_cast<time_t>(info.timestamp))) + ": " +
      message + "\n";
#ifdef __WINDOWS__
  // The log is written in the process's ANSI code page; a text that it
  // cannot hold is written as UTF-8 rather than dropped.
  wxCharBuffer bytes = line.mb_str(wxConvLibc);
  if (!bytes.data() || (bytes.length() == 0 && !line.empty())) bytes = line.utf8_str();
#else
  // Linux names are UTF-8 whatever the locale says, and so are the lines
  // that hold them.
  const wxCharBuffer bytes = line.utf8_str();
#endif
  std::fputs(bytes.data(), file_);
  std::fflush(file_);
}

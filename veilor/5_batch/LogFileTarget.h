#pragma once

#include <cstdio>

#include <wx/log.h>

// The toolkit's log target for the day's log file: every message becomes one
// line "<time stamp>: <message>", flushed at once so that nothing is lost if
// the program ends abruptly. Does not own the stream.
class CLogFileTarget : public wxLog {
public:
  CLogFileTarget(std::FILE* file, const wxString& timeStampFormat);

protected:
  void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& info) override;

private:
  std::FILE* file_;
  wxString timeStampFormat_;
};

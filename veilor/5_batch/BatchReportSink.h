#pragma once

#include <cstdint>
#include <vector>

#include <wx/string.h>

// Where a batch reports what it does; the windows layer implements it with
// the report window. Calls come in this order: Begin, SetFileSizes, then
// ShowBusy unless the report is hidden, a row per file with its progress and
// result, Finish when the user is to read the report, and End on every way
// out.
class CBatchReportSink {
public:
  virtual ~CBatchReportSink() = default;

  // A batch starts under `title`; nothing is shown yet.
  virtual void Begin(const wxString& title) = 0;
  // The batch's files in order by size in bytes (row i is file i), so that
  // the report can tell files and bytes done of the total.
  virtual void SetFileSizes(std::vector<std::uint64_t> /*sizes*/) {}
  // Whether the user asked to stop the batch; the file in work is then
  // abandoned and the files not reached are reported as not processed.
  virtual bool StopRequested() const { return false; }
  // The files are about to be processed: shows the report, not yet closable.
  virtual void ShowBusy() = 0;
  // Adds a row for a file taken up; returns the row.
  virtual long AddRow(const wxString& path) = 0;
  // Step 0 to 99 of the file in work.
  virtual void Progress(int step) = 0;
  // What a row's file is doing before it has a result (empty: nothing to say).
  virtual void Note(long /*row*/, const wxString& /*text*/) {}
  virtual void SetResult(long row, const wxString& status, const wxString& description) = 0;
  // Shows the finished report and returns when the user has closed it.
  virtual void Finish() = 0;
  // The batch is over.
  virtual void End() = 0;
};

#pragma once

#include <vector>

#include <wx/listctrl.h>

// The report's rows kept in memory and shown as a virtual list: adding one
// of ten thousand rows costs as little as the first, and only the rows in
// view are ever drawn.
class CReportList : public wxListCtrl {
public:
  CReportList(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size);

  // Appends a row with its path; status and description stay empty.
  long AddRow(const wxString& path);
  void SetRowResult(long row, const wxString& status, const wxString& description);
  // Brings what changed since the last call on screen, the newest row
  // scrolled into view.
  void ShowChanges();

protected:
  wxString OnGetItemText(long item, long column) const override;

private:
  struct Row {
    wxString path;
    wxString status;
    wxString description;
  };

  std::vector<Row> rows_;
  long firstChanged_ = -1;
  long lastChanged_ = -1;
  long shownCount_ = 0;
};

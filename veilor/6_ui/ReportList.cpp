#include "6_ui/ReportList.h"

#include <algorithm>

CReportList::CReportList(wxWindow* parent, wxWindowID id, const wxPoint& position,
                         const wxSize& size)
    : wxListCtrl(parent, id, position, size, wxLC_REPORT | wxLC_VIRTUAL) {}

long CReportList::AddRow(const wxString& path) {
  rows_.push_back({path, wxString(), wxString()});
  const long row = static_cast<long>(rows_.size()) - 1;
  // Every row can be read back at once, but telling the list its count is
  // slow on some systems: it is told room to grow, by doubling, and the exact
  // count when the rows are next drawn.
  if (row >= GetItemCount()) SetItemCount(std::max(2 * row, 64L));
  return row;
}

void CReportList::SetRowResult(long row, const wxString& status, const wxString& description) {
  if (row < 0 || row >= static_cast<long>(rows_.size())) return;
  Row& target = rows_[static_cast<std::size_t>(row)];
  target.status = status;
  target.description = description;
  firstChanged_ = firstChanged_ < 0 ? row : std::min(firstChanged_, row);
  lastChanged_ = std::max(lastChanged_, row);
}

void CReportList::ShowChanges() {
  const long count = static_cast<long>(rows_.size());
  if (GetItemCount() != count) SetItemCount(count);
  if (count > shownCount_) {
    EnsureVisible(count - 1);
    shownCount_ = count;
  }
  if (firstChanged_ >= 0) RefreshItems(firstChanged_, lastChanged_);
  firstChanged_ = lastChanged_ = -1;
}

wxString CReportList::OnGetItemText(long item, long column) const {
  if (item < 0 || item >= static_cast<long>(rows_.size())) return wxString();
  const Row& row = rows_[static_cast<std::size_t>(item)];
  switch (column) {
    case 0: return row.path;
    case 1: return row.status;
    case 2: return row.description;
    default: return wxString();
  }
}

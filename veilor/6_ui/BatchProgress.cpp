#include "6_ui/BatchProgress.h"

#include <algorithm>
#include <numeric>

#include <wx/filename.h>

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

void CBatchProgress::SetFileSizes(std::vector<std::uint64_t> sizes) {
  sizes_ = std::move(sizes);
  bytesTotal_ = std::accumulate(sizes_.begin(), sizes_.end(), std::uint64_t{0});
}

void CBatchProgress::TakeUp(long row) {
  rowInWork_ = row;
  rowsTakenUp_ = std::max(rowsTakenUp_, row + 1);
  bytesInWork_ = 0;
}

void CBatchProgress::Step(int step) {
  // Step 99 ends the file's data; the last hundredth counts once it is done.
  bytesInWork_ = SizeOf(rowInWork_) / 100 * static_cast<std::uint64_t>(std::clamp(step, 0, 99));
}

void CBatchProgress::Done(long row) {
  ++filesDone_;
  bytesDone_ += SizeOf(row);
  if (row != rowInWork_) return;
  rowInWork_ = -1;
  bytesInWork_ = 0;
}

std::size_t CBatchProgress::FilesTotal() const {
  return std::max(sizes_.size(), static_cast<std::size_t>(rowsTakenUp_));
}

wxString CBatchProgress::Text() const {
  return wxString::Format(Msg(msg::BatchProgress), wxString::Format("%zu", FilesDone()),
                          wxString::Format("%zu", FilesTotal()),
                          wxFileName::GetHumanReadableSize(wxULongLong(BytesDone()), "0 B"),
                          wxFileName::GetHumanReadableSize(wxULongLong(BytesTotal()), "0 B"));
}

std::uint64_t CBatchProgress::SizeOf(long row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= sizes_.size()) return 0;
  return sizes_[static_cast<std::size_t>(row)];
}

#pragma once

#include <cstdint>
#include <vector>

#include <wx/string.h>

// How far a whole batch is: files and bytes done of the total, the file in
// work counted by its progress steps.
class CBatchProgress {
public:
  // The batch's files in order by size: row i is file i.
  void SetFileSizes(std::vector<std::uint64_t> sizes);
  void TakeUp(long row);
  // Step 0 to 99 of the file in work.
  void Step(int step);
  void Done(long row);

  std::size_t FilesDone() const { return filesDone_; }
  std::uint64_t BytesDone() const { return bytesDone_ + bytesInWork_; }
  std::size_t FilesTotal() const;
  std::uint64_t BytesTotal() const { return bytesTotal_; }
  // "3 of 12 files, 1.2 MB of 9.8 MB"
  wxString Text() const;

private:
  std::uint64_t SizeOf(long row) const;

  std::vector<std::uint64_t> sizes_;
  std::uint64_t bytesTotal_ = 0;
  std::size_t filesDone_ = 0;
  std::uint64_t bytesDone_ = 0;
  long rowInWork_ = -1;
  long rowsTakenUp_ = 0;
  std::uint64_t bytesInWork_ = 0;
};

#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <wx/string.h>

#include "2_crypto/FileJob.h"

// The files of a batch on their way through a procedure: written two at once
// on worker threads (a batch of one file is written on the calling thread),
// committed in groups that share one flush, and reported in the batch's
// order. Everything that reaches the report or the log happens on the
// calling thread: the workers only write files, and what they log is kept
// with the file until its result is reported.
//
// The calling thread takes the files in order: Reach(i) waits until file i
// is written, passing on its progress steps, and Settle commits the group
// when it is due. A group is bounded by files, bytes and age, so that a
// crash loses little work and results keep coming.
class CFilePipeline {
public:
  struct LogLine {
    wxString text;
    int severity;
    int mode;
  };
  // What is reported of a file once its result is known.
  struct Result {
    long row;
    FileOutcome outcome;
    std::vector<LogLine> logged;
  };

  // Makes the job for file `index`; called on the calling thread, ahead of
  // the file being reached. The job logs through the context it is given.
  using JobMaker = std::function<std::unique_ptr<FileJob>(std::size_t index, FileContext context)>;

  // `valid[i]` false: file i has no job; its result is given to Reach.
  // `stopRequested` is asked, on the calling thread, while a file is reached:
  // true stops that file, which then has no output and keeps its source.
  CFilePipeline(std::vector<bool> valid, std::function<bool()> stopRequested, JobMaker makeJob,
                std::function<void(const Result&)> report);
  // Drops every file not yet committed: no output, sources kept.
  ~CFilePipeline();

  CFilePipeline(const CFilePipeline&) = delete;
  CFilePipeline& operator=(const CFilePipeline&) = delete;

  // Waits until file `index` is written, passing each progress step it
  // reaches to `progress`, and to `deriving` when it starts and ends deriving
  // its key; commits a group that comes due meanwhile. A file without a job
  // gets `fixed` as its result. Files are reached in order.
  void Reach(std::size_t index, long row, const std::function<void(int)>& progress,
             const Result& fixed = {}, const std::function<void(bool)>& deriving = {});

  // Commits the group if it is due; with `now`, whatever it holds.
  void Settle(bool now = false);

private:
  struct Slot;

  void Submit(std::size_t upTo);
  void Work();
  bool GroupDue() const;

  std::vector<std::unique_ptr<Slot>> slots_;
  std::function<bool()> stopRequested_;
  JobMaker makeJob_;
  std::function<void(const Result&)> report_;
  std::size_t submitted_ = 0;
  std::vector<std::size_t> group_;
  std::uint64_t groupBytes_ = 0;
  std::chrono::steady_clock::time_point groupStart_;
  // Where a file written on the calling thread passes its steps.
  const std::function<void(int)>* inlineProgress_ = nullptr;
  const std::function<void(bool)>* inlineDeriving_ = nullptr;

  std::mutex mutex_;
  std::condition_variable work_;      // a file to write, or the end
  std::condition_variable finished_;  // a file written
  std::deque<std::size_t> queue_;
  bool closing_ = false;
  std::vector<std::thread> workers_;  // last: they use the members above
};

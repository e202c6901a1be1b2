#include "5_batch/FilePipeline.h"

#include <atomic>
#include <system_error>

namespace {
using namespace std::chrono_literals;

// How far the workers may run ahead of the file being reached: enough to
// keep both busy on small files while a group is flushed, few enough that a
// stop wastes little.
constexpr std::size_t kLookahead = 128;
constexpr std::size_t kWorkers = 2;
// A group is committed at this many files (each holds its output open until
// then), bytes or age, whichever comes first.
constexpr std::size_t kGroupFiles = 256;
constexpr std::uint64_t kGroupBytes = 64 << 20;
constexpr auto kGroupAge = 1s;
// How often progress is passed on while a worker writes the file reached.
constexpr auto kProgressPoll = 10ms;
}  // namespace

struct CFilePipeline::Slot {
  bool valid = false;
  std::unique_ptr<FileJob> job;
  std::atomic<int> step{-1};  // reached by the job's thread
  // The key derivation: not begun, under way, or over.
  enum Deriving : int { NotYet, Under, Over };
  std::atomic<int> deriving{NotYet};
  bool written = false;      // under mutex_
  std::exception_ptr error;  // under mutex_
  Result result;             // logged to by the job's thread until written
};

CFilePipeline::CFilePipeline(std::vector<bool> valid, std::function<bool()> stopRequested,
                             JobMaker makeJob, std::function<void(const Result&)> report)
    : stopRequested_(std::move(stopRequested)),
      makeJob_(std::move(makeJob)),
      report_(std::move(report)) {
  std::size_t jobs = 0;
  for (bool entry : valid) {
    slots_.push_back(std::make_unique<Slot>());
    slots_.back()->valid = entry;
    jobs += entry ? 1 : 0;
  }
  if (jobs < 2) return;
  try {
    for (std::size_t i = 0; i < kWorkers; ++i) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than hoped for: the ones there do the work.
  }
}

CFilePipeline::~CFilePipeline() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    for (std::size_t i = 0; i < submitted_; ++i) {
      if (slots_[i]->job) slots_[i]->job->Abandon();
    }
  }
  work_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void CFilePipeline::Submit(std::size_t upTo) {
  for (; submitted_ < std::min(upTo, slots_.size()); ++submitted_) {
    Slot* slot = slots_[submitted_].get();
    if (!slot->valid) continue;
    FileContext context;
    context.log = [slot](const wxString& text, int severity, int mode) {
      slot->result.logged.push_back({text, severity, mode});
    };
    if (workers_.empty()) {
      // Written on the calling thread, so the job may ask for a stop itself.
      context.progress = [this](int step) { (*inlineProgress_)(step); };
      context.deriving = [this](bool on) {
        if (*inlineDeriving_) (*inlineDeriving_)(on);
      };
      context.stopRequested = stopRequested_;
    } else {
      context.progress = [slot](int step) { slot->step.store(step); };
      context.deriving = [slot](bool on) { slot->deriving.store(on ? Slot::Under : Slot::Over); };
    }
    slot->job = makeJob_(submitted_, std::move(context));
    if (workers_.empty()) continue;
    {
      const std::lock_guard lock(mutex_);
      queue_.push_back(submitted_);
    }
    work_.notify_one();
  }
}

void CFilePipeline::Work() {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (closing_) return;
      index = queue_.front();
      queue_.pop_front();
    }
    Slot& slot = *slots_[index];
    std::exception_ptr error;
    try {
      slot.job->Write();
    } catch (...) {
      error = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      slot.written = true;
      slot.error = error;
    }
    finished_.notify_all();
  }
}

void CFilePipeline::Reach(std::size_t index, long row, const std::function<void(int)>& progress,
                          const Result& fixed, const std::function<void(bool)>& deriving) {
  Slot& slot = *slots_[index];
  if (!slot.valid) {
    slot.result = fixed;
  } else {
    Submit(index + kLookahead);
    if (workers_.empty()) {
      inlineProgress_ = &progress;
      inlineDeriving_ = &deriving;
      try {
        slot.job->Write();
      } catch (...) {
        inlineProgress_ = nullptr;
        inlineDeriving_ = nullptr;
        throw;
      }
      inlineProgress_ = nullptr;
      inlineDeriving_ = nullptr;
    } else {
      int passedOn = -1;
      int derivingShown = Slot::NotYet;
      bool stopped = false;
      std::unique_lock lock(mutex_);
      for (;;) {
        const bool written = slot.written;
        lock.unlock();
        // A stop leaves the file where it is, written or not: it is not
        // committed, and its progress ends at the step the stop came.
        const auto stopIfAsked = [&] {
          if (!stopped && stopRequested_ && stopRequested_()) {
            slot.job->Stop();
            stopped = true;
          }
        };
        // A derivation that began and ended between two looks is not shown.
        if (const int now = slot.deriving.load(); now != derivingShown) {
          if (deriving && (now == Slot::Under || derivingShown == Slot::Under)) {
            deriving(now == Slot::Under);
          }
          derivingShown = now;
        }
        for (const int step = slot.step.load(); !stopped && passedOn < step;) {
          progress(++passedOn);
          stopIfAsked();
        }
        stopIfAsked();
        if (written) break;
        Settle();
        lock.lock();
        if (!slot.written) finished_.wait_for(lock, kProgressPoll);
      }
      if (slot.error) std::rethrow_exception(slot.error);
    }
  }
  slot.result.row = row;
  if (group_.empty()) groupStart_ = std::chrono::steady_clock::now();
  group_.push_back(index);
  if (slot.job) groupBytes_ += slot.job->BytesWritten();
}

bool CFilePipeline::GroupDue() const {
  return group_.size() >= kGroupFiles || groupBytes_ >= kGroupBytes ||
         (!group_.empty() && std::chrono::steady_clock::now() - groupStart_ >= kGroupAge);
}

void CFilePipeline::Settle(bool now) {
  if (group_.empty() || (!now && !GroupDue())) return;
  std::vector<FileJob*> jobs;
  for (std::size_t index : group_) {
    if (slots_[index]->job) jobs.push_back(slots_[index]->job.get());
  }
  FileJob::CommitGroup(jobs);
  const std::vector<std::size_t> group = std::move(group_);
  group_.clear();
  groupBytes_ = 0;
  for (std::size_t index : group) {
    Slot& slot = *slots_[index];
    if (slot.job) slot.result.outcome = slot.job->Outcome();
    slot.job.reset();
    report_(slot.result);
    slot.result = {};
  }
}

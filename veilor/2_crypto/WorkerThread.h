#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread that runs one task at a time for its owner. It lives as long as
// its owner, so handing it a task costs a wake-up, not the start of a thread.
class WorkerThread {
public:
  WorkerThread();  // raises std::system_error when no thread can be had
  ~WorkerThread();

  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `task` on the thread; the task before must have been waited for.
  // The task must not throw.
  void Start(std::function<void()> task);
  // Returns once the task started last has run.
  void Wait();

private:
  void Loop();

  std::mutex mutex_;
  // A plain condition variable and a flag: the stop-token wait of
  // condition_variable_any was seen to miss its wake-up under Wine.
  std::condition_variable changed_;
  std::function<void()> task_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: started once the members above exist
};

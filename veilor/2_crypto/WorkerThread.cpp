#include "2_crypto/WorkerThread.h"

WorkerThread::WorkerThread() : thread_([this](std::stop_token stop) { Loop(stop); }) {}

// The thread is asked to stop and joined before the members it uses go.
WorkerThread::~WorkerThread() {
  Wait();
  thread_.request_stop();
  thread_.join();
}

void WorkerThread::Start(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    task_ = std::move(task);
    busy_ = true;
  }
  changed_.notify_all();
}

void WorkerThread::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
}

void WorkerThread::Loop(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  while (changed_.wait(lock, stop, [this] { return static_cast<bool>(task_); })) {
    const std::function<void()> task = std::move(task_);
    task_ = nullptr;
    lock.unlock();
    task();
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

#include "2_crypto/WorkerThread.h"

WorkerThread::WorkerThread() : thread_([this] { Loop(); }) {}

// The thread is asked to stop and joined before the members it uses go.
WorkerThread::~WorkerThread() {
  Wait();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
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

void WorkerThread::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || static_cast<bool>(task_); });
    if (!task_) return;
    const std::function<void()> task = std::move(task_);
    task_ = nullptr;
    lock.unlock();
    task();
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

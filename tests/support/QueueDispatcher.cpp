#include "QueueDispatcher.h"

namespace tandrel::test {

void QueueDispatcher::Post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  posted_.notify_all();
}

bool QueueDispatcher::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) return done();
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
  return true;
}

void QueueDispatcher::Drain() {
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace tandrel::test

#include "Watchdog.h"

namespace tandrel::test {

Watchdog::Watchdog(std::chrono::seconds limit, std::function<void()> stop) : stop_(std::move(stop)) {
  thread_ = std::thread([this, limit] {
    std::unique_lock lock(mutex_);
    stopping_.wait_for(lock, limit, [this] { return stopped_; });
    stopped_ = true;
    stopping_.notify_all();
    lock.unlock();
    stop_();
  });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    stopping_.notify_all();
  }
  thread_.join();
}

bool Watchdog::WaitForStop(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return stopping_.wait_for(lock, timeout, [this] { return stopped_; });
}

}  // namespace tandrel::test

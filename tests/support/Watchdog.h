// Ends something after a time limit unless it was ended first: test servers stop
// by themselves.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tandrel::test {

class Watchdog {
 public:
  Watchdog(std::chrono::seconds limit, std::function<void()> stop);
  // Stops at once, if the limit has not done so already.
  ~Watchdog();
  // True once stopping has begun; waits at most timeout for it.
  bool WaitForStop(std::chrono::milliseconds timeout);

 private:
  std::mutex mutex_;
  std::condition_variable stopping_;
  bool stopped_ = false;
  std::function<void()> stop_;
  std::thread thread_;
};

}  // namespace tandrel::test

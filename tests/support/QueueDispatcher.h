// A user-interface thread for tests: posted tasks wait in a queue until the test's
// own thread runs them.
#pragma once

#include "core/http/HttpClient.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace tandrel::test {

class QueueDispatcher final : public http::Dispatcher {
 public:
  void Post(std::function<void()> task) override;
  // Runs posted tasks on the calling thread until done() holds or the time is up;
  // returns done().
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));
  // Runs what is queued now, without waiting.
  void Drain();

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace tandrel::test

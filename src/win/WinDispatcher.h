// Runs tasks of other threads (the HTTP client's reports) on the user-interface
// thread, in the order they were posted, through a hidden message-only window.
#pragma once

#include "MessageWindow.h"

#include "core/http/HttpClient.h"

#include <deque>
#include <mutex>

namespace tandrel::win {

class WinDispatcher final : public http::Dispatcher {
 public:
  // Made on the user-interface thread, whose queue then receives the tasks.
  WinDispatcher();
  ~WinDispatcher() override;
  // From any thread.
  void Post(std::function<void()> task) override;

 private:
  LRESULT RunPosted(UINT message);

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  MessageWindow window_;
};

}  // namespace tandrel::win

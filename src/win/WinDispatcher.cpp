#include "WinDispatcher.h"

#include "core/forms/FailureReport.h"

namespace tandrel::win {
namespace {

constexpr UINT kRunTasks = WM_APP + 1;

}  // namespace

WinDispatcher::WinDispatcher() : window_([this](UINT message, WPARAM, LPARAM) { return RunPosted(message); }) {}

WinDispatcher::~WinDispatcher() = default;

void WinDispatcher::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  // Only a full queue refuses the message; the task then runs with the next one's,
  // as every message runs all the tasks waiting by then.
  PostMessageW(window_.Handle(), kRunTasks, 0, 0);
}

LRESULT WinDispatcher::RunPosted(UINT message) {
  if (message != kRunTasks) return 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return 0;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    forms::Guarded(task);
  }
}

}  // namespace tandrel::win

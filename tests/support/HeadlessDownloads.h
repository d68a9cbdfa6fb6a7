// The download dialog without a display: a window whose modal loop runs what
// the client posts to a QueueDispatcher, and timers whose ticks are posted there
// when their interval has passed, as a window layer's would arrive.
#pragma once

#include "QueueDispatcher.h"

#include "core/forms/DownloadFormScreen.h"
#include "core/forms/FormTimer.h"

#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace tandrel::test {

// Writes down what it shows; its modal loop runs posted tasks until it is ended.
class ModalDownloadScreen final : public forms::DownloadFormScreen {
 public:
  explicit ModalDownloadScreen(QueueDispatcher& dispatcher) : dispatcher_(dispatcher) {}
  void Paint(const forms::DownloadView& view) override;
  int ShowModal() override;
  void EndModal(int result) override;

  std::vector<forms::DownloadView> painted;
  std::function<void(const forms::DownloadView&)> onPaint;
  std::function<void()> onModal;
  int loops = 0;
  std::optional<int> ended;

 private:
  QueueDispatcher& dispatcher_;
};

class DispatcherTimers final : public forms::TimerFactory {
 public:
  explicit DispatcherTimers(QueueDispatcher& dispatcher) : dispatcher_(dispatcher) {}
  // Waits for the waits still running; their ticks then run nothing.
  ~DispatcherTimers() override;
  std::unique_ptr<forms::FormTimer> MakeTimer(std::function<void()> onTimer) override;

  struct State;

 private:
  friend class DispatcherTimer;
  QueueDispatcher& dispatcher_;
  std::vector<std::thread> waits_;
};

}  // namespace tandrel::test

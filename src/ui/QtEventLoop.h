// The core's view of the user-interface thread, on Qt: pumping drains the queue,
// HTTP reports and timer ticks arrive as queued events.
#pragma once

#include "core/EventLoop.h"
#include "core/forms/FormTimer.h"
#include "core/http/HttpClient.h"

class QObject;

namespace tandrel::ui {

class QtEventLoop final : public QueuelessEventLoop {
 public:
  void PumpMessages() override;
};

// Runs HTTP reports on the user-interface thread, queued after what is waiting.
class QtDispatcher final : public http::Dispatcher {
 public:
  explicit QtDispatcher(QObject* uiObject) : uiObject_(uiObject) {}
  void Post(std::function<void()> task) override;

 private:
  QObject* uiObject_;
};

// Timers on QTimer; each tick runs its handler through Guarded.
class QtTimers final : public forms::TimerFactory {
 public:
  std::unique_ptr<forms::FormTimer> MakeTimer(std::function<void()> onTimer) override;
};

}  // namespace tandrel::ui

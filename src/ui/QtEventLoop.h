// The core's view of the user-interface thread, on Qt: pumping drains the queue.
#pragma once

#include "core/EventLoop.h"
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

}  // namespace tandrel::ui

#include "QtEventLoop.h"

#include "core/forms/FailureReport.h"

#include <QCoreApplication>
#include <QTimer>

namespace tandrel::ui {
namespace {

class QtTimer final : public forms::FormTimer {
 public:
  explicit QtTimer(std::function<void()> onTimer) : onTimer_(std::move(onTimer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { forms::Guarded(onTimer_); });
  }
  void SetInterval(std::chrono::milliseconds interval) override { timer_.setInterval(interval); }
  std::chrono::milliseconds Interval() const override { return timer_.intervalAsDuration(); }
  bool Enabled() const override { return timer_.isActive(); }

 private:
  void Start() override { timer_.start(); }
  void Stop() override { timer_.stop(); }

  std::function<void()> onTimer_;
  QTimer timer_;
};

}  // namespace

void QtEventLoop::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtDispatcher::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(uiObject_, std::move(task), Qt::QueuedConnection);
}

std::unique_ptr<forms::FormTimer> QtTimers::MakeTimer(std::function<void()> onTimer) {
  return std::make_unique<QtTimer>(std::move(onTimer));
}

}  // namespace tandrel::ui

// A window's timer as the logic drives it. Its ticks arrive as messages of the
// user-interface thread and run the handler it was made with.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tandrel::forms {

class FormTimer {
 public:
  virtual ~FormTimer() = default;
  virtual void SetInterval(std::chrono::milliseconds interval) = 0;
  virtual std::chrono::milliseconds Interval() const = 0;
  // An enabled timer counts its interval from the moment it was enabled; enabling
  // an enabled timer changes nothing, its count goes on (a system timer set again
  // would start counting afresh).
  void SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    if (enabled) Start();
    else Stop();
  }
  virtual bool Enabled() const = 0;

 protected:
  virtual void Start() = 0;
  virtual void Stop() = 0;
};

// Makes a window's timers, disabled. The window layer runs every tick's handler
// as an event handler (through Guarded).
class TimerFactory {
 public:
  virtual ~TimerFactory() = default;
  virtual std::unique_ptr<FormTimer> MakeTimer(std::function<void()> onTimer) = 0;
};

}  // namespace tandrel::forms

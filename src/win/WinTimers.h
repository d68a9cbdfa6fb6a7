// A window's timers on SetTimer: ticks arrive as WM_TIMER messages of the
// user-interface thread, on a hidden window, and run their handlers through Guarded.
#pragma once

#include "MessageWindow.h"

#include "core/forms/FormTimer.h"

#include <map>

namespace tandrel::win {

class WinTimers final : public forms::TimerFactory {
 public:
  WinTimers();
  ~WinTimers() override;
  std::unique_ptr<forms::FormTimer> MakeTimer(std::function<void()> onTimer) override;

 private:
  class Timer;
  LRESULT OnTimer(UINT message, WPARAM id);

  std::map<UINT_PTR, Timer*> timers_;
  UINT_PTR nextId_ = 1;
  MessageWindow window_;  // last: it goes first, before the timers it serves
};

}  // namespace tandrel::win

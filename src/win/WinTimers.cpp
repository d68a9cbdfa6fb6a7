#include "WinTimers.h"

#include "core/forms/FailureReport.h"

namespace tandrel::win {

class WinTimers::Timer final : public forms::FormTimer {
 public:
  Timer(WinTimers& owner, UINT_PTR id, std::function<void()> onTimer)
      : owner_(owner), id_(id), onTimer_(std::move(onTimer)) {
    owner_.timers_[id_] = this;
  }
  ~Timer() override {
    Stop();
    owner_.timers_.erase(id_);
  }

  // A running timer counts its new interval from now, as SetTimer on its id does.
  void SetInterval(std::chrono::milliseconds interval) override {
    interval_ = interval;
    if (enabled_) Start();
  }
  std::chrono::milliseconds Interval() const override { return interval_; }
  bool Enabled() const override { return enabled_; }
  void Tick() { forms::Guarded(onTimer_); }

 private:
  void Start() override {
    enabled_ = SetTimer(owner_.window_.Handle(), id_, static_cast<UINT>(interval_.count()), nullptr) != 0;
  }
  void Stop() override {
    if (enabled_) KillTimer(owner_.window_.Handle(), id_);
    enabled_ = false;
  }

  WinTimers& owner_;
  UINT_PTR id_;
  std::function<void()> onTimer_;
  std::chrono::milliseconds interval_{1000};
  bool enabled_ = false;
};

WinTimers::WinTimers() : window_([this](UINT message, WPARAM wParam, LPARAM) { return OnTimer(message, wParam); }) {}

WinTimers::~WinTimers() = default;

std::unique_ptr<forms::FormTimer> WinTimers::MakeTimer(std::function<void()> onTimer) {
  return std::make_unique<Timer>(*this, nextId_++, std::move(onTimer));
}

LRESULT WinTimers::OnTimer(UINT message, WPARAM id) {
  if (message != WM_TIMER) return 0;
  // A tick already queued for a timer that was stopped or destroyed meanwhile runs nothing.
  const auto found = timers_.find(id);
  if (found != timers_.end() && found->second->Enabled()) found->second->Tick();
  return 0;
}

}  // namespace tandrel::win

// Timers that tick when a test says so, as a window layer runs a tick.
#pragma once

#include "core/forms/FailureReport.h"
#include "core/forms/FormTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace tandrel::forms {

class ManualTimer final : public FormTimer {
 public:
  explicit ManualTimer(std::function<void()> onTimer) : onTimer_(std::move(onTimer)) {}
  void SetInterval(std::chrono::milliseconds interval) override { interval_ = interval; }
  std::chrono::milliseconds Interval() const override { return interval_; }
  bool Enabled() const override { return enabled_; }
  void Tick() {
    ASSERT_TRUE(enabled_) << "a disabled timer does not tick";
    Guarded(onTimer_);
  }
  int starts = 0;  // times its count began afresh

 private:
  void Start() override {
    enabled_ = true;
    ++starts;
  }
  void Stop() override { enabled_ = false; }

  std::function<void()> onTimer_;
  std::chrono::milliseconds interval_{0};
  bool enabled_ = false;
};

class ManualTimers final : public TimerFactory {
 public:
  std::unique_ptr<FormTimer> MakeTimer(std::function<void()> onTimer) override {
    auto timer = std::make_unique<ManualTimer>(std::move(onTimer));
    made.push_back(timer.get());
    return timer;
  }
  std::vector<ManualTimer*> made;  // in the order of creation
};

}  // namespace tandrel::forms

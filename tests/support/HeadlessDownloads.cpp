#include "HeadlessDownloads.h"

#include "core/forms/FailureReport.h"
#include "core/forms/Termination.h"

#include <gtest/gtest.h>

#include <mutex>

namespace tandrel::test {

using namespace std::chrono_literals;

void ModalDownloadScreen::Paint(const forms::DownloadView& view) {
  painted.push_back(view);
  if (onPaint) onPaint(view);
}

int ModalDownloadScreen::ShowModal() {
  return forms::RunUnlessTerminating([this] {
    ++loops;
    ended.reset();
    if (onModal) onModal();
    EXPECT_TRUE(dispatcher_.RunUntil([this] { return ended.has_value(); }, 60s)) << "the dialog never ended";
    return ended.value_or(0);
  });
}

void ModalDownloadScreen::EndModal(int result) {
  EXPECT_FALSE(ended.has_value()) << "ended twice";
  ended = result;
}

// What a timer and its waits share: a wait's tick runs only while the timer is
// enabled with the count that wait began.
struct DispatcherTimers::State {
  std::mutex mutex;
  bool enabled = false;
  bool alive = true;
  int count = 0;
  std::chrono::milliseconds interval{0};
};

class DispatcherTimer final : public forms::FormTimer {
 public:
  DispatcherTimer(DispatcherTimers& owner, std::function<void()> onTimer)
      : owner_(owner), onTimer_(std::make_shared<std::function<void()>>(std::move(onTimer))) {}
  ~DispatcherTimer() override {
    std::lock_guard lock(state_->mutex);
    state_->alive = false;
  }
  void SetInterval(std::chrono::milliseconds interval) override {
    std::lock_guard lock(state_->mutex);
    state_->interval = interval;
  }
  std::chrono::milliseconds Interval() const override {
    std::lock_guard lock(state_->mutex);
    return state_->interval;
  }
  bool Enabled() const override {
    std::lock_guard lock(state_->mutex);
    return state_->enabled;
  }

 private:
  void Start() override {
    std::lock_guard lock(state_->mutex);
    state_->enabled = true;
    const int count = ++state_->count;
    owner_.waits_.emplace_back([state = state_, onTimer = onTimer_, count, &dispatcher = owner_.dispatcher_] {
      std::chrono::milliseconds interval;
      {
        std::lock_guard l(state->mutex);
        interval = state->interval;
      }
      std::this_thread::sleep_for(interval);
      dispatcher.Post([state, onTimer, count] {
        {
          std::lock_guard l(state->mutex);
          if (!state->alive || !state->enabled || state->count != count) return;
        }
        forms::Guarded(*onTimer);
      });
    });
  }
  void Stop() override {
    std::lock_guard lock(state_->mutex);
    state_->enabled = false;
  }

  DispatcherTimers& owner_;
  std::shared_ptr<std::function<void()>> onTimer_;
  std::shared_ptr<DispatcherTimers::State> state_ = std::make_shared<DispatcherTimers::State>();
};

DispatcherTimers::~DispatcherTimers() {
  for (std::thread& wait : waits_) wait.join();
}

std::unique_ptr<forms::FormTimer> DispatcherTimers::MakeTimer(std::function<void()> onTimer) {
  return std::make_unique<DispatcherTimer>(*this, std::move(onTimer));
}

}  // namespace tandrel::test

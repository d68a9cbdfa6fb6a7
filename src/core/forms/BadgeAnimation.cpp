#include "BadgeAnimation.h"

#include <algorithm>

namespace tandrel::forms {

using std::chrono::milliseconds;

BadgeAnimation::BadgeAnimation(std::vector<milliseconds> frameDelays, TimerFactory& timers)
    : delays_(std::move(frameDelays)), timer_(timers.MakeTimer([this] { Step(); })) {
  if (delays_.size() < 2) return;
  timer_->SetInterval(HeldDelay(delays_.front()));
  timer_->SetEnabled(true);
}

milliseconds BadgeAnimation::HeldDelay(milliseconds delay) {
  return std::clamp(delay, milliseconds(50), milliseconds(10000));
}

void BadgeAnimation::Step() {
  frame_ = (frame_ + 1) % delays_.size();
  // A running timer that keeps its interval steps on by itself: setting it again
  // would only cost a call to the system for each frame.
  const milliseconds next = HeldDelay(delays_[frame_]);
  if (next != timer_->Interval()) timer_->SetInterval(next);
}

}  // namespace tandrel::forms

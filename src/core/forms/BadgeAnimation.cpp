#include "BadgeAnimation.h"

#include <algorithm>

namespace tandrel::forms {

using std::chrono::milliseconds;

BadgeAnimation::BadgeAnimation(const std::vector<milliseconds>& frameDelays, std::function<Clock::time_point()> now)
    : now_(std::move(now)), start_(now_()) {
  if (frameDelays.size() < 2) return;
  milliseconds end{0};
  for (const milliseconds delay : frameDelays) ends_.push_back(end += HeldDelay(delay));
}

milliseconds BadgeAnimation::HeldDelay(milliseconds delay) {
  return std::clamp(delay, milliseconds(50), milliseconds(10000));
}

bool BadgeAnimation::MoveOn() {
  if (ends_.empty()) return false;
  const auto intoRound = (now_() - start_) % ends_.back();
  const auto frame = static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), intoRound) - ends_.begin());
  if (frame == shown_) return false;
  shown_ = frame;
  return true;
}

}  // namespace tandrel::forms

// The row badge's animation (JvGIFAnimator2): each frame stays for the picture's own
// delay for it, held within 50 to 10,000 ms, and the last frame is followed by the
// first, without end; a picture of a single frame does not animate. The list moves
// the badge on at each of its timed repaints, so all rows show the same frame. The
// frame is read off the time since the animation began: stepping it on a timer
// would wake the program at every frame for nothing that shows until then.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

namespace tandrel::forms {

class BadgeAnimation {
 public:
  using Clock = std::chrono::steady_clock;

  // frameDelays: the picture's delay for each of its frames, in order.
  explicit BadgeAnimation(const std::vector<std::chrono::milliseconds>& frameDelays,
                          std::function<Clock::time_point()> now = Clock::now);

  // The frame the rows show: the one the animation was at when last moved on.
  std::size_t CurrentFrame() const { return shown_; }
  // Moves on to the frame the animation is at now; true when that is another one.
  bool MoveOn();

  static std::chrono::milliseconds HeldDelay(std::chrono::milliseconds delay);

 private:
  std::vector<std::chrono::milliseconds> ends_;  // where each frame ends within one round
  std::function<Clock::time_point()> now_;
  Clock::time_point start_;
  std::size_t shown_ = 0;
};

}  // namespace tandrel::forms

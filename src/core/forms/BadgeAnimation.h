// The row badge's animation (JvGIFAnimator2): each frame stays for the picture's own
// delay for it, held within 50 to 10,000 ms, and the last frame is followed by the
// first, without end; a picture of a single frame does not animate. It steps on a
// timer of its own; the list shows the current frame at its next repaint, so all
// rows show the same frame.
#pragma once

#include "FormTimer.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <vector>

namespace tandrel::forms {

class BadgeAnimation {
 public:
  // frameDelays: the picture's delay for each of its frames, in order.
  BadgeAnimation(std::vector<std::chrono::milliseconds> frameDelays, TimerFactory& timers);

  std::size_t CurrentFrame() const { return frame_; }

  static std::chrono::milliseconds HeldDelay(std::chrono::milliseconds delay);

 private:
  void Step();

  std::vector<std::chrono::milliseconds> delays_;
  std::size_t frame_ = 0;
  std::unique_ptr<FormTimer> timer_;
};

}  // namespace tandrel::forms

// The row badge: the GIF's frames decoded once at the size rows show them, side by
// side in one premultiplied strip that GDI blends from, and the frame its
// animation is at.
#pragma once

#include "Offscreen.h"

#include "core/forms/BadgeAnimation.h"

#include <memory>

namespace tandrel::win {

class Badge {
 public:
  Badge(int width, int height);
  // The frames decoded again at another size (another scale); the animation goes on.
  void Resize(int width, int height);
  // Moves on to the frame the animation is at now; true when that is another one.
  bool MoveOn() { return animation_->MoveOn(); }
  // The frame Draw draws.
  std::size_t Frame() const { return animation_->CurrentFrame(); }
  // Draws the current frame with its top-left corner there; nothing when the
  // picture could not be read.
  void Draw(HDC dc, int left, int top) const;

 private:
  int width_ = 0, height_ = 0;
  int frames_ = 0;
  // One device for the whole strip, made once: under Wine every device made
  // costs a round trip to the X server.
  Offscreen strip_;
  std::unique_ptr<forms::BadgeAnimation> animation_;
};

}  // namespace tandrel::win

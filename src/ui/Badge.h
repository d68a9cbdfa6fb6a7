// The row badge: the GIF's frames decoded once, and the frame its animation is at.
#pragma once

#include "core/forms/BadgeAnimation.h"

#include <QPixmap>

#include <cstddef>
#include <memory>
#include <vector>

namespace tandrel::ui {

class Badge {
 public:
  Badge();
  // Moves on to the frame the animation is at now; true when that is another one.
  bool MoveOn() { return animation_->MoveOn(); }
  // The current frame; empty when the picture could not be read.
  const QPixmap& CurrentFrame() const;
  // The number of that frame.
  std::size_t Frame() const { return animation_->CurrentFrame(); }

 private:
  std::vector<QPixmap> frames_;
  std::unique_ptr<forms::BadgeAnimation> animation_;
};

}  // namespace tandrel::ui

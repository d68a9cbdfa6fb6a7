// The row badge: the GIF's frames decoded once at the size rows show them, and the
// frame its animation is at.
#pragma once

#include "Pictures.h"
#include "WinTimers.h"

#include "core/forms/BadgeAnimation.h"

#include <memory>
#include <vector>

namespace tandrel::win {

class Badge {
 public:
  Badge(int width, int height);
  // The current frame; nullptr when the picture could not be read.
  Gdiplus::Bitmap* CurrentFrame() const;

 private:
  std::vector<Picture> frames_;
  WinTimers timers_;
  std::unique_ptr<forms::BadgeAnimation> animation_;
};

}  // namespace tandrel::win

// The row badge: the GIF's frames decoded once, and the frame its animation is at.
#pragma once

#include "QtEventLoop.h"

#include "core/forms/BadgeAnimation.h"

#include <QPixmap>

#include <memory>
#include <vector>

namespace tandrel::ui {

class Badge {
 public:
  Badge();
  // The current frame; empty when the picture could not be read.
  const QPixmap& CurrentFrame() const;

 private:
  std::vector<QPixmap> frames_;
  QtTimers timers_;
  std::unique_ptr<forms::BadgeAnimation> animation_;
};

}  // namespace tandrel::ui

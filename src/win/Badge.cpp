#include "Badge.h"

#include "Artwork.h"
#include "GifFrames.h"

namespace tandrel::win {

Badge::Badge(int width, int height) {
  std::vector<std::chrono::milliseconds> delays;
  for (AnimationFrame& frame : DecodeAnimation(Artwork::BadgeFile())) {
    frames_.push_back(Scaled(*frame.picture, width, height));
    delays.push_back(frame.delay);
  }
  animation_ = std::make_unique<forms::BadgeAnimation>(std::move(delays), timers_);
}

Gdiplus::Bitmap* Badge::CurrentFrame() const {
  return frames_.empty() ? nullptr : frames_[animation_->CurrentFrame()].get();
}

}  // namespace tandrel::win

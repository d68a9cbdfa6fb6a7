#include "Badge.h"

#include "Artwork.h"
#include "GdiHandles.h"
#include "GifFrames.h"
#include "Pictures.h"

namespace tandrel::win {

Badge::Badge(int width, int height) { Resize(width, height); }

void Badge::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  frames_ = 0;
  std::vector<AnimationFrame> frames = DecodeAnimation(Artwork::BadgeFile());
  std::vector<std::chrono::milliseconds> delays;
  if (!frames.empty()) strip_.Prepare(width * static_cast<int>(frames.size()), height);
  for (AnimationFrame& frame : frames) {
    const Picture scaled = Scaled(*frame.picture, width, height);
    // GDI+ writes the frame's premultiplied pixels straight into its place in the strip.
    Gdiplus::BitmapData place{};
    place.Width = static_cast<UINT>(width);
    place.Height = static_cast<UINT>(height);
    place.Stride = strip_.Stride();
    place.PixelFormat = PixelFormat32bppPARGB;
    place.Scan0 = strip_.Bits() + frames_ * width * 4;
    Gdiplus::Rect whole(0, 0, width, height);
    const LockedBits copied(*scaled, whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                            PixelFormat32bppPARGB, place);
    if (!copied.Locked()) continue;  // a frame GDI+ would not give is left out, not shown blank
    delays.push_back(frame.delay);
    ++frames_;
  }
  if (!animation_) animation_ = std::make_unique<forms::BadgeAnimation>(std::move(delays));
}

void Badge::Draw(HDC dc, int left, int top) const {
  if (frames_ == 0) return;
  const int frame = static_cast<int>(animation_->CurrentFrame());
  const BLENDFUNCTION over{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, left, top, width_, height_, strip_.Dc(), frame * width_, 0, width_, height_, over);
}

}  // namespace tandrel::win

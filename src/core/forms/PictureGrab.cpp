#include "PictureGrab.h"

#include <algorithm>
#include <utility>

namespace tandrel::forms {

PictureGrab::PictureGrab(std::vector<Rect> pictures, std::vector<Rect> still, Elsewhere elsewhere)
    : pictures_(std::move(pictures)), still_(std::move(still)), elsewhere_(elsewhere), effects_(pictures_.size()) {}

int PictureGrab::PictureAt(Point p) const {
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    if (pictures_[i].Contains(p)) return static_cast<int>(i);
  }
  return -1;
}

PictureGrab::Down PictureGrab::Pressed(Point p, PressEffect::Button button, bool secondOfDoubleClick) {
  const int picture = held_ >= 0 ? held_ : PictureAt(p);
  if (picture < 0) {
    const bool still = std::any_of(still_.begin(), still_.end(), [p](const Rect& r) { return r.Contains(p); });
    return {!still && elsewhere_ == Elsewhere::MovesWindow, -1, false};
  }
  held_ = picture;
  PressEffect& effect = effects_[static_cast<std::size_t>(picture)];
  return {false, picture, secondOfDoubleClick ? effect.DoubleClickPress(button) : effect.Press(button)};
}

PictureGrab::Up PictureGrab::Released(Point p, PressEffect::Button button, bool anyButtonDown) {
  if (held_ < 0) return {};
  const int picture = held_;
  PressEffect& effect = effects_[static_cast<std::size_t>(picture)];
  const auto release = effect.Released(button, pictures_[static_cast<std::size_t>(picture)].Contains(p));
  Up up{picture, !anyButtonDown, release.click, release.moveBack};
  if (!anyButtonDown) {
    held_ = -1;
    // A press whose release never came (the system kept it) ends with the grab.
    up.moveBack = effect.Cancel() || up.moveBack;
  }
  return up;
}

int PictureGrab::MouseLost() {
  if (held_ < 0) return -1;
  const int picture = std::exchange(held_, -1);
  return effects_[static_cast<std::size_t>(picture)].Cancel() ? picture : -1;
}

}  // namespace tandrel::forms

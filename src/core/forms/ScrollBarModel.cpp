#include "ScrollBarModel.h"

#include <algorithm>
#include <cstdint>

namespace tandrel::forms {

ScrollBarModel::ScrollBarModel(ScrollBarLayout layout) : layout_(layout) {}

bool ScrollBarModel::SetRange(int maximum, int page, int offset) {
  const bool wasShown = Shown();
  maximum_ = std::max(0, maximum);
  page_ = std::max(0, page);
  offset_ = std::clamp(offset, 0, maximum_);
  if (!Shown()) grab_.reset();
  return wasShown != Shown();
}

ScrollBarModel::Thumb ScrollBarModel::ThumbNow() const {
  const int track = list_.height;
  const int whole = std::max(1, maximum_ + page_);
  const int length = std::clamp(static_cast<int>(static_cast<std::int64_t>(track) * page_ / whole),
                                std::min(layout_.minimumThumb, track), track);
  const int room = track - length;
  const int top = maximum_ > 0 ? static_cast<int>(static_cast<std::int64_t>(room) * offset_ / maximum_) : 0;
  return {top, length};
}

Rect ScrollBarModel::ThumbBox() const {
  const Rect bar = Bar();
  const Thumb thumb = ThumbNow();
  return {bar.left + layout_.thumbSideInset, thumb.top + layout_.thumbEndInset, bar.width - 2 * layout_.thumbSideInset,
          thumb.length - 2 * layout_.thumbEndInset};
}

int ScrollBarModel::OffsetOfThumb(int thumbTop) const {
  const int room = list_.height - ThumbNow().length;
  if (room <= 0) return 0;
  return static_cast<int>((static_cast<std::int64_t>(std::clamp(thumbTop, 0, room)) * maximum_ + room / 2) / room);
}

bool ScrollBarModel::SetState(ThumbState state) {
  if (state == state_) return false;
  state_ = state;
  return true;
}

ScrollBarModel::Effect ScrollBarModel::Press(Point p) {
  if (!OnBar(p)) return {};
  const Thumb thumb = ThumbNow();
  if (p.y >= thumb.top && p.y < thumb.top + thumb.length) {
    grab_ = p.y - thumb.top;
    return {SetState(ThumbState::Pressed), std::nullopt, true};
  }
  return {false, std::clamp(offset_ + (p.y < thumb.top ? -page_ : page_), 0, maximum_), true};
}

ScrollBarModel::Effect ScrollBarModel::Move(Point p) {
  if (grab_) return {false, OffsetOfThumb(p.y - *grab_), true};
  return {SetState(OnBar(p) ? ThumbState::Hot : ThumbState::Normal), std::nullopt, false};
}

ScrollBarModel::Effect ScrollBarModel::Release(Point p) {
  if (!grab_) return {};
  grab_.reset();
  return {SetState(OnBar(p) ? ThumbState::Hot : ThumbState::Normal), std::nullopt, true};
}

ScrollBarModel::Effect ScrollBarModel::Leave() {
  if (grab_) return {};
  return {SetState(ThumbState::Normal), std::nullopt, false};
}

ScrollBarModel::Effect ScrollBarModel::MouseLost() {
  if (!grab_) return {};
  grab_.reset();
  return {SetState(ThumbState::Normal), std::nullopt, false};
}

}  // namespace tandrel::forms

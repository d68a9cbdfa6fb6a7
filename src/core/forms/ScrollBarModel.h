// The list's scroll bar as the list sees it: shown while the rows do not fit, and
// then narrowing them; its thumb as long as the page's share of the whole (at
// least the layout's minimum); a left press on the thumb takes it and a drag
// scrolls; a press on the track beside it pages. The window paints what it says
// and forwards the pointer to it.
#pragma once

#include "WindowLayout.h"

#include <optional>

namespace tandrel::forms {

class ScrollBarModel {
 public:
  enum class ThumbState { Normal, Hot, Pressed };
  struct Thumb {
    int top = 0;
    int length = 0;
    bool operator==(const Thumb&) const = default;
  };
  // What the list does after an input: repaint the bar, scroll, and whether the
  // input was the bar's (not the rows').
  struct Effect {
    bool repaintBar = false;
    std::optional<int> scrollTo;
    bool taken = false;
  };

  explicit ScrollBarModel(ScrollBarLayout layout = {});
  void SetLayout(const ScrollBarLayout& layout) { layout_ = layout; }

  // The list's client size.
  void Resize(Size list) { list_ = list; }
  // The range the rows give: 0 to maximum, a page of page, at offset. Whether the
  // bar showed or hid, which changes the rows' width.
  bool SetRange(int maximum, int page, int offset);

  bool Shown() const { return maximum_ > 0; }
  int RowsWidth() const { return list_.width - (Shown() ? layout_.width : 0); }
  Rect Bar() const { return {list_.width - layout_.width, 0, layout_.width, list_.height}; }
  Thumb ThumbNow() const;
  // The thumb as painted: inset at the sides and the ends.
  Rect ThumbBox() const;
  int ThumbCorner() const { return layout_.thumbCorner; }
  ThumbState State() const { return state_; }
  // Whether a point is on the bar, which takes every press there.
  bool OnBar(Point p) const { return Shown() && Bar().Contains(p); }

  Effect Press(Point p);  // the left button
  Effect Move(Point p);
  Effect Release(Point p);  // the left button
  Effect Leave();
  Effect MouseLost();

 private:
  int OffsetOfThumb(int thumbTop) const;
  bool SetState(ThumbState state);

  ScrollBarLayout layout_;
  Size list_;
  int maximum_ = 0, page_ = 0, offset_ = 0;
  std::optional<int> grab_;  // where in the thumb the pointer holds it
  ThumbState state_ = ThumbState::Normal;
};

}  // namespace tandrel::forms

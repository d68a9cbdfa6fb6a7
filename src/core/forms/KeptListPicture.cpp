#include "KeptListPicture.h"

#include <algorithm>

namespace tandrel::forms {
namespace {

using row_layout::kJvGIFAnimator2;

constexpr bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// A frame draws the badge over the kept picture: nothing drawn after the badge
// may lie under it.
static_assert(!Overlap(kJvGIFAnimator2, row_layout::kControlListButton1) &&
              !Overlap(kJvGIFAnimator2, row_layout::kControlListButton2));

Rect BadgeOf(const Rect& row) {
  return {row.left + kJvGIFAnimator2.left, row.top + kJvGIFAnimator2.top, kJvGIFAnimator2.width,
          kJvGIFAnimator2.height};
}

}  // namespace

KeptListPicture::Geometry KeptListPicture::Current() const {
  return {list_.ClientRect(), list_.ScrollOffset(), list_.ItemCount()};
}

RowLook KeptListPicture::LookOf(const RowPaint& row) {
  return {row, list_.Template().ControlList1BeforeDrawItem(row.row)};
}

ListPaint KeptListPicture::Prepare(const Rect& area) {
  ListPaint paint;
  const Geometry now = Current();
  paint.clear = !known_ || now != geometry_;
  for (const RowPaint& row : list_.PaintOrder()) {
    const Rect rect = list_.RowRect(row.row);
    if (!Overlap(rect, area)) continue;
    RowLook look = LookOf(row);
    const auto found = paint.clear ? kept_.end() : kept_.find(row.row);
    if (found == kept_.end() || found->second != look) paint.rows.push_back({rect, std::move(look)});
    paint.badges.push_back(BadgeOf(rect));
  }
  // Counted as drawn only once every row is bound: a row that cannot be bound
  // leaves the picture as it was.
  if (paint.clear) kept_.clear();
  for (const RowToDraw& row : paint.rows) kept_[row.look.paint.row] = row.look;
  known_ = true;
  geometry_ = now;
  return paint;
}

std::vector<Rect> KeptListPicture::FrameArea(bool badgeMoved) {
  std::vector<Rect> area;
  const std::vector<RowPaint> rows = list_.PaintOrder();
  if (rows.empty()) return area;
  int top = list_.ClientRect().height, bottom = 0;
  for (const RowPaint& row : rows) {
    if (!Overlap(list_.RowRect(row.row), list_.ClientRect())) continue;
    const Rect badge = BadgeOf(list_.RowRect(row.row));
    top = std::min(top, badge.top);
    bottom = std::max(bottom, badge.top + badge.height);
    const auto found = kept_.find(row.row);
    if (!known_ || Current() != geometry_ || found == kept_.end() || found->second != LookOf(row)) {
      area.push_back(list_.RowRect(row.row));
    }
  }
  top = std::max(top, 0);
  bottom = std::min(bottom, list_.ClientRect().height);
  if (badgeMoved && bottom > top)
    area.insert(area.begin(), Rect{kJvGIFAnimator2.left, top, kJvGIFAnimator2.width, bottom - top});
  return area;
}

void KeptListPicture::Forget() {
  known_ = false;
  kept_.clear();
}

}  // namespace tandrel::forms

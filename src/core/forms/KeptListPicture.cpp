#include "KeptListPicture.h"

#include <algorithm>

namespace tandrel::forms {
namespace {

constexpr bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// A frame draws the badge over the kept picture: nothing drawn after the badge
// may lie under it. Scaling moves edges alike, so what holds at 100 % holds at
// every scale.
static_assert(!Overlap(RowLayout{}.JvGIFAnimator2, RowLayout{}.ControlListButton1) &&
              !Overlap(RowLayout{}.JvGIFAnimator2, RowLayout{}.ControlListButton2));

Rect BadgeOf(const Rect& row, const RowLayout& rows) {
  const Rect& badge = rows.JvGIFAnimator2;
  return {row.left + badge.left, row.top + badge.top, badge.width, badge.height};
}

}  // namespace

KeptListPicture::Geometry KeptListPicture::Current() const {
  return {list_.ClientRect(), list_.ScrollOffset(), list_.ItemCount(), list_.RowHeight()};
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
    paint.badges.push_back(BadgeOf(rect, list_.Rows()));
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
    const Rect badge = BadgeOf(list_.RowRect(row.row), list_.Rows());
    top = std::min(top, badge.top);
    bottom = std::max(bottom, badge.top + badge.height);
    const auto found = kept_.find(row.row);
    if (!known_ || Current() != geometry_ || found == kept_.end() || found->second != LookOf(row)) {
      area.push_back(list_.RowRect(row.row));
    }
  }
  top = std::max(top, 0);
  bottom = std::min(bottom, list_.ClientRect().height);
  const Rect& column = list_.Rows().JvGIFAnimator2;
  if (badgeMoved && bottom > top) area.insert(area.begin(), Rect{column.left, top, column.width, bottom - top});
  return area;
}

void KeptListPicture::Forget() {
  known_ = false;
  kept_.clear();
}

}  // namespace tandrel::forms

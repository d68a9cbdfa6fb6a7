#include "ServerListModel.h"

#include <algorithm>
#include <utility>

namespace tandrel::forms {

ServerListModel::ServerListModel(ServerListScreen& screen, const TextMeasure& measure, EntrySource entries,
                                 RowLayout rows)
    : screen_(screen), measure_(measure), template_(std::move(entries), rows) {}

void ServerListModel::SetLayout(const RowLayout& rows) {
  const int firstRow = RowHeight() > 0 ? offset_ / RowHeight() : 0;
  template_.SetLayout(rows);
  offset_ = firstRow * RowHeight();
  UpdateScrollRange();
  screen_.InvalidateList();
}

int ServerListModel::ScrollMaximum() const { return std::max(0, static_cast<int>(itemCount_) * RowHeight() - height_); }

void ServerListModel::SetItemCount(std::size_t count) {
  if (count == itemCount_) return;  // the rows show the new entries at the next repaint
  itemCount_ = count;
  if (selected_ >= static_cast<int>(count)) selected_ = -1;
  pressed_ = -1;
  UpdateScrollRange();
  TrackPointer();
  screen_.InvalidateList();
}

void ServerListModel::ClearSelection() {
  if (selected_ < 0) return;
  selected_ = -1;
  screen_.InvalidateList();
}

void ServerListModel::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  UpdateScrollRange();
  TrackPointer();
  screen_.InvalidateList();
}

// The offset is held within the range; when all rows fit it is 0.
void ServerListModel::UpdateScrollRange() {
  offset_ = std::clamp(offset_, 0, ScrollMaximum());
  screen_.ScrollChanged(ScrollMaximum(), height_, offset_);
}

void ServerListModel::ScrollTo(int offset) {
  offset = std::clamp(offset, 0, ScrollMaximum());
  if (offset == offset_) return;
  offset_ = offset;
  screen_.ScrollChanged(ScrollMaximum(), height_, offset_);
  TrackPointer();
  screen_.InvalidateList();
}

void ServerListModel::ScrollIntoView(int row) {
  const int top = row * RowHeight(), bottom = top + RowHeight();
  if (top < offset_) {
    ScrollTo(top);
  } else if (bottom > offset_ + height_) {
    ScrollTo(bottom - height_);
  }
}

int ServerListModel::RowAt(Point p) const {
  if (p.y < 0 || p.x < 0 || p.x >= width_) return -1;
  const int row = (p.y + offset_) / RowHeight();
  return row < static_cast<int>(itemCount_) ? row : -1;
}

// Hit testing binds the row: the texts' boxes are as wide as its entry's texts.
RowControl ServerListModel::ControlAt(int row, Point p) {
  template_.ControlList1BeforeDrawItem(row);
  return template_.ControlAt({p.x, p.y - RowTop(row)}, measure_);
}

void ServerListModel::UpdateRowNow(int row) {
  if (row < 0) return;
  screen_.RepaintRowNow(row);
  // The row is bound last, also where the screen painted more than the row.
  template_.ControlList1BeforeDrawItem(row);
}

// The hot row and the button under the pointer, from where the pointer was last seen.
void ServerListModel::TrackPointer() {
  const int row = pointer_ ? RowAt(*pointer_) : -1;
  RowControl under = RowControl::None;
  if (row >= 0) {
    under = ControlAt(row, *pointer_);
    if (!IsRowButton(under)) under = RowControl::None;
  }
  if (row != hot_) {
    hot_ = row;
    under_ = under;
    screen_.InvalidateList();
  } else if (under != under_) {
    under_ = under;
    UpdateRowNow(hot_);  // at once, so the button's look follows the pointer
  }
}

void ServerListModel::PointerMove(Point p) {
  pointer_ = p;
  TrackPointer();
}

void ServerListModel::PointerLeave() {
  pointer_.reset();
  hot_ = -1;
  under_ = RowControl::None;
  screen_.InvalidateList();
}

void ServerListModel::Press(PointerButton button, Point p) {
  PointerMove(p);  // a press comes with the pointer where it is
  if (button != PointerButton::Left) return;
  if (!screen_.TakeFocus()) return;
  const int row = RowAt(p);
  pressed_ = row;
  if (row < 0) return;
  const RowControl control = ControlAt(row, p);
  if (IsRowButton(control)) held_ = control;
  if (row == selected_) {
    UpdateRowNow(row);
  } else {
    Select(row);
  }
}

void ServerListModel::Release(PointerButton button, Point p) {
  // The hot row is the row under the pointer when the click is delivered.
  PointerMove(p);
  if (button != PointerButton::Left) return;
  const int row = pressed_;
  pressed_ = -1;
  const bool wasHeld = held_ != RowControl::None;
  held_ = RowControl::None;
  if (row < 0) return;
  // The control at the release point, measured within the pressed row where it is
  // now; the template's controls lie within a row, so a release elsewhere finds none.
  const RowControl control = ControlAt(row, p);
  // Updating the hot row binds it: both buttons' Tag then hold its index.
  if (wasHeld || IsRowButton(control)) UpdateRowNow(hot_);
  if (IsRowButton(control)) screen_.Click(template_.Button(control));
}

bool ServerListModel::Wheel(int delta) {
  if (delta == 0) return false;
  ScrollTo(offset_ + (delta > 0 ? -RowHeight() : RowHeight()));
  return true;
}

void ServerListModel::Key(ListKey key) {
  const int last = static_cast<int>(itemCount_) - 1;
  if (last < 0) return;
  int target = 0;
  switch (key) {
    case ListKey::Up:
    case ListKey::Left: target = selected_ - 1; break;
    case ListKey::Down:
    case ListKey::Right: target = selected_ + 1; break;
    case ListKey::PageUp: target = selected_ - kPageRows; break;
    case ListKey::PageDown: target = selected_ + kPageRows; break;
    case ListKey::Home: target = 0; break;
    case ListKey::End: target = last; break;
  }
  if (selected_ < 0 && key != ListKey::End) target = 0;
  Select(std::clamp(target, 0, last));
}

void ServerListModel::Select(int row) {
  selected_ = row;
  ScrollIntoView(row);
  screen_.InvalidateList();
}

// Only the hot row shows a button's hot or pressed look.
ButtonLook ServerListModel::LookOf(int row, RowControl button) const {
  if (row != hot_ || under_ != button) return ButtonLook::Normal;
  return held_ == button ? ButtonLook::Pressed : ButtonLook::Hot;
}

RowPaint ServerListModel::PaintOf(int row) const {
  return {row, RowTop(row), row == hot_ || row == selected_, LookOf(row, RowControl::ControlListButton1),
          LookOf(row, RowControl::ControlListButton2)};
}

std::vector<RowPaint> ServerListModel::PaintOrder() const {
  std::vector<RowPaint> rows;
  if (itemCount_ == 0) return rows;
  const int first = offset_ / RowHeight();
  const int last = std::min(first + kPageRows, static_cast<int>(itemCount_) - 1);
  // The selected row goes last, so nothing of a neighbour is drawn over it.
  const bool selectedLater = selected_ >= first && selected_ < last;
  for (int row = first; row <= last; ++row) {
    if (!(selectedLater && row == selected_)) rows.push_back(PaintOf(row));
  }
  if (selectedLater) rows.push_back(PaintOf(selected_));
  return rows;
}

}  // namespace tandrel::forms

#include "ServerListView.h"

#include "FailureReport.h"
#include "Look.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <stdexcept>

namespace tandrel::ui {
namespace {
constexpr int kRowHeight = RowTemplate::kRowHeight;
constexpr int kPageRows = RowTemplate::kRowsWithoutScrollBar;
constexpr int kScrollBarWidth = 17;
}  // namespace

ServerListView::ServerListView(const Artwork& art, std::function<const TConfig*()> entries, QWidget* parent)
    : QAbstractScrollArea(parent), entries_(std::move(entries)), badge_(Artwork::BadgeFile()), template_(art, badge_) {
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  verticalScrollBar()->setFixedWidth(kScrollBarWidth);
  verticalScrollBar()->setSingleStep(kRowHeight);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  badge_.setCacheMode(QMovie::CacheAll);
  badge_.start();
}

int ServerListView::ScrollOffset() const { return verticalScrollBar()->value(); }

void ServerListView::SetRowCount(std::size_t count) {
  if (count == rowCount_) return;  // the rows keep their places and show the new entries
  rowCount_ = count;
  if (selected_ >= static_cast<int>(count)) selected_ = -1;
  pressed_ = -1;
  UpdateScrollRange();
  TrackPointer();
  viewport()->update();
}

void ServerListView::ClearSelection() {
  if (selected_ < 0) return;
  selected_ = -1;
  viewport()->update();
}

void ServerListView::RepaintNow() { viewport()->repaint(); }

void ServerListView::UpdateScrollRange() {
  const int content = static_cast<int>(rowCount_) * kRowHeight;
  const int visible = viewport()->height();
  verticalScrollBar()->setRange(0, std::max(0, content - visible));
  verticalScrollBar()->setPageStep(visible);
}

int ServerListView::RowAt(QPoint p) const {
  if (p.y() < 0 || p.x() < 0 || p.x() >= viewport()->width()) return -1;
  const int row = (p.y() + ScrollOffset()) / kRowHeight;
  return row < static_cast<int>(rowCount_) ? row : -1;
}

QRect ServerListView::RowRect(int row) const {
  return QRect(0, row * kRowHeight - ScrollOffset(), viewport()->width(), kRowHeight);
}

void ServerListView::Bind(int row) {
  const TConfig* config = entries_();
  const std::size_t count = config ? config->ServerList().size() : 0;
  if (row < 0 || static_cast<std::size_t>(row) >= count) {
    throw std::out_of_range("Argument out of range: row " + std::to_string(row) + " of " + std::to_string(count));
  }
  template_.Bind(config->ServerList()[static_cast<std::size_t>(row)], count);
}

void ServerListView::PaintRow(QPainter& painter, int row) {
  Bind(row);
  const QRect rect = RowRect(row);
  if (row == hot_ || row == selected_) painter.fillRect(rect, look::kHighlight);
  // Only the hot row shows a button's hot or pressed look.
  const auto lookOf = [&](RowTemplate::Control button) {
    if (row != hot_ || under_ != button) return ButtonLook::Normal;
    return held_ == button ? ButtonLook::Pressed : ButtonLook::Hot;
  };
  template_.Paint(painter, rect.topLeft(), lookOf(RowTemplate::Control::EnterGame),
                  lookOf(RowTemplate::Control::WebSite));
}

void ServerListView::paintEvent(QPaintEvent*) {
  Guarded([&] {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), look::kListBackground);
    if (rowCount_ == 0) return;
    const int first = ScrollOffset() / kRowHeight;
    const int last = std::min(first + kPageRows, static_cast<int>(rowCount_) - 1);
    // The selected row goes last, so nothing of a neighbour is drawn over it.
    const bool selectedLater = selected_ >= first && selected_ < last;
    for (int row = first; row <= last; ++row) {
      if (!(selectedLater && row == selected_)) PaintRow(painter, row);
    }
    if (selectedLater) PaintRow(painter, selected_);
  });
}

void ServerListView::RepaintRow(int row) {
  if (row >= 0) viewport()->repaint(RowRect(row));
}

// The hot row and the control under the pointer, from where the pointer was last seen.
void ServerListView::TrackPointer() {
  const int row = pointer_ ? RowAt(*pointer_) : -1;
  RowTemplate::Control under = RowTemplate::Control::None;
  if (row >= 0) {
    Bind(row);
    under = template_.ControlAt(*pointer_ - RowRect(row).topLeft());
    if (!RowTemplate::IsButton(under)) under = RowTemplate::Control::None;
  }
  if (row != hot_) {
    hot_ = row;
    under_ = under;
    viewport()->update();
  } else if (under != under_) {
    under_ = under;
    RepaintRow(hot_);  // at once, so the button's look follows the pointer
  }
}

void ServerListView::mouseMoveEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
  Guarded([&] { TrackPointer(); });
}

bool ServerListView::viewportEvent(QEvent* event) {
  // Leaving the rows for the scroll bar leaves the list as far as the rows go.
  if (event->type() == QEvent::Leave) leaveEvent(event);
  return QAbstractScrollArea::viewportEvent(event);
}

void ServerListView::leaveEvent(QEvent*) {
  pointer_.reset();
  hot_ = -1;
  under_ = RowTemplate::Control::None;
  viewport()->update();
}

void ServerListView::Press(QPoint p) {
  if (!hasFocus()) {
    // Without a window manager nothing activates the window on a click: ask for it.
    window()->activateWindow();
    setFocus(Qt::MouseFocusReason);
    if (!isEnabled()) return;  // a list that cannot take the focus takes no press
  }
  const int row = RowAt(p);
  pressed_ = row;
  if (row < 0) return;
  Bind(row);
  const RowTemplate::Control control = template_.ControlAt(p - RowRect(row).topLeft());
  if (RowTemplate::IsButton(control)) held_ = control;
  if (row == selected_) {
    RepaintRow(row);
  } else {
    selected_ = row;
    ScrollIntoView(row);
    viewport()->update();
  }
}

void ServerListView::mousePressEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
  if (event->button() != Qt::LeftButton) return;
  Guarded([&] { Press(event->position().toPoint()); });
}

// The second press of a double click is a press like the first.
void ServerListView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void ServerListView::mouseReleaseEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
  if (event->button() != Qt::LeftButton) return;
  Guarded([&] {
    const int row = pressed_;
    pressed_ = -1;
    const bool wasHeld = held_ != RowTemplate::Control::None;
    held_ = RowTemplate::Control::None;
    if (row < 0) return;
    // The control at the release point, measured within the pressed row where it is now.
    const QPoint p = event->position().toPoint();
    const QRect rect = RowRect(row);
    RowTemplate::Control control = RowTemplate::Control::None;
    if (rect.contains(p)) {
      Bind(row);
      control = template_.ControlAt(p - rect.topLeft());
    }
    if (wasHeld || RowTemplate::IsButton(control)) RepaintRow(hot_);
    if (control == RowTemplate::Control::EnterGame) emit enterGameClicked(row);
    if (control == RowTemplate::Control::WebSite) emit webSiteClicked(row);
  });
}

void ServerListView::wheelEvent(QWheelEvent* event) {
  // One row per wheel message, whatever its distance.
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  verticalScrollBar()->setValue(ScrollOffset() + (delta > 0 ? -kRowHeight : kRowHeight));
  event->accept();
}

void ServerListView::keyPressEvent(QKeyEvent* event) {
  const int last = static_cast<int>(rowCount_) - 1;
  if (last < 0) return;
  int target;
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left: target = selected_ - 1; break;
    case Qt::Key_Down:
    case Qt::Key_Right: target = selected_ + 1; break;
    case Qt::Key_PageUp: target = selected_ - kPageRows; break;
    case Qt::Key_PageDown: target = selected_ + kPageRows; break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = last; break;
    default: return QAbstractScrollArea::keyPressEvent(event);
  }
  if (selected_ < 0 && event->key() != Qt::Key_End) target = 0;
  Select(std::clamp(target, 0, last));
}

void ServerListView::Select(int row) {
  selected_ = row;
  ScrollIntoView(row);
  viewport()->update();
}

void ServerListView::ScrollIntoView(int row) {
  const int top = row * kRowHeight, bottom = top + kRowHeight;
  if (top < ScrollOffset()) verticalScrollBar()->setValue(top);
  else if (bottom > ScrollOffset() + viewport()->height()) verticalScrollBar()->setValue(bottom - viewport()->height());
}

void ServerListView::scrollContentsBy(int, int) {
  Guarded([&] { TrackPointer(); });
  viewport()->update();
}

void ServerListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

}  // namespace tandrel::ui

#include "ServerListView.h"

#include "FailureReport.h"
#include "LayoutRects.h"
#include "Look.h"
#include "VisualStyles.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <optional>

namespace tandrel::ui {
namespace {

std::optional<forms::PointerButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return forms::PointerButton::Left;
    case Qt::RightButton: return forms::PointerButton::Right;
    case Qt::MiddleButton: return forms::PointerButton::Middle;
    default: return std::nullopt;
  }
}

std::optional<forms::ListKey> KeyOf(int key) {
  switch (key) {
    case Qt::Key_Up: return forms::ListKey::Up;
    case Qt::Key_Down: return forms::ListKey::Down;
    case Qt::Key_Left: return forms::ListKey::Left;
    case Qt::Key_Right: return forms::ListKey::Right;
    case Qt::Key_PageUp: return forms::ListKey::PageUp;
    case Qt::Key_PageDown: return forms::ListKey::PageDown;
    case Qt::Key_Home: return forms::ListKey::Home;
    case Qt::Key_End: return forms::ListKey::End;
    default: return std::nullopt;
  }
}

}  // namespace

ServerListView::ServerListView(const Artwork& art, const forms::WindowLayout& layout,
                               std::function<const TConfig*()> entries, QWidget* parent)
    : QWidget(parent),
      template_(art, badge_, layout.rows),
      model_(*this, template_, std::move(entries), layout.rows),
      plan_(model_, layout.rows.JvGIFAnimator2),
      scrollBar_(layout.scrollBar) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ServerListView::RepaintNow() {
  Guarded([&] {
    QRegion area;
    for (const forms::Rect& r : plan_.FrameArea(badge_.MoveOn())) area += ToQRect(r);
    repaint(area);
  });
}

void ServerListView::RepaintAfresh() {
  plan_.Forget();
  repaint();
}

// The screen the logic drives.

bool ServerListView::TakeFocus() {
  if (hasFocus()) return true;
  // Without a window manager nothing activates the window on a click: ask for it.
  window()->activateWindow();
  setFocus(Qt::MouseFocusReason);
  return isEnabled();  // a list that cannot take the focus takes no press
}

void ServerListView::InvalidateList() { update(); }

void ServerListView::RepaintRowNow(int row) { repaint(ToQRect(model_.RowRect(row))); }

// The bar shows while the rows do not fit, and then narrows them.
void ServerListView::ScrollChanged(int maximum, int pageStep, int offset) {
  if (scrollBar_.SetRange(maximum, pageStep, offset)) model_.Resize(scrollBar_.RowsWidth(), height());
  update(ToQRect(scrollBar_.Bar()));
}

bool ServerListView::Apply(const forms::ScrollBarModel::Effect& effect) {
  if (effect.repaintBar) update(ToQRect(scrollBar_.Bar()));
  if (effect.scrollTo) model_.ScrollTo(*effect.scrollTo);
  return effect.taken;
}

void ServerListView::Click(const forms::RowButton& Sender) {
  if (Sender.Name == forms::RowControl::ControlListButton1) emit enterGameClicked(Sender.Tag);
  if (Sender.Name == forms::RowControl::ControlListButton2) emit webSiteClicked(Sender.Tag);
}

// Painting: the list without its badges is kept; a paint draws into it the rows
// that no longer show as they are, each bound right before, copies what it
// repaints from it and draws the badges over that.

void ServerListView::paintEvent(QPaintEvent* event) {
  Guarded([&] {
    const qreal ratio = devicePixelRatioF();
    const QSize size = this->size() * ratio;
    if (kept_.size() != size || kept_.devicePixelRatioF() != ratio) {
      kept_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
      kept_.setDevicePixelRatio(ratio);
      plan_.Forget();
    }
    std::vector<forms::Rect> region;
    for (const QRect& r : event->region()) region.push_back(FromQRect(r));
    const forms::ListPaintPlan::Paint paint = plan_.Prepare(FromQRect(event->rect()), region, badge_.Frame());
    DrawKept(paint.kept);
    // The timed frames repaint the badges' column: each of its pieces, composed once
    // for a badge frame, serves that frame's later turns while the rows stay.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);  // all of it opaque: copies, not blends
    for (const auto& piece : paint.pieces) {
      const QRect r = ToQRect(piece.area);
      switch (piece.step) {
        case forms::ListPaintPlan::Step::CopyComposed: painter.drawImage(r.topLeft(), composed_[piece.place]); break;
        case forms::ListPaintPlan::Step::ComposeAndKeep: {
          if (piece.place >= composed_.size()) composed_.resize(piece.place + 1);
          QImage& kept = composed_[piece.place];
          kept = QImage(r.size() * ratio, QImage::Format_ARGB32_Premultiplied);
          kept.setDevicePixelRatio(ratio);
          QPainter composing(&kept);
          composing.translate(-r.topLeft());
          Compose(composing, r, paint.kept.badges);
          composing.end();
          painter.drawImage(r.topLeft(), kept);
          break;
        }
        case forms::ListPaintPlan::Step::Compose: Compose(painter, r, paint.kept.badges); break;
      }
    }
    if (scrollBar_.Shown() && event->region().intersects(ToQRect(scrollBar_.Bar()))) PaintScrollBar(painter);
  });
}

// The track over the whole bar, and the thumb in its box with round corners.
void ServerListView::PaintScrollBar(QPainter& painter) {
  const ScrollBarColours colours = MainScrollBarColours();
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.fillRect(ToQRect(scrollBar_.Bar()), colours.track);
  using State = forms::ScrollBarModel::ThumbState;
  const State state = scrollBar_.State();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(state == State::Pressed ? colours.pressed : state == State::Hot ? colours.hot : colours.thumb);
  const qreal corner = scrollBar_.ThumbCorner();
  painter.drawRoundedRect(QRectF(ToQRect(scrollBar_.ThumbBox())), corner, corner);
  painter.restore();
}

void ServerListView::Compose(QPainter& painter, const QRect& area, const std::vector<forms::Rect>& badges) {
  const qreal ratio = kept_.devicePixelRatioF();
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_Source);  // the kept picture is opaque: a copy
  painter.drawImage(area, kept_, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setClipRect(area);
  for (const forms::Rect& badge : badges) template_.PaintBadge(painter, ToQRect(badge));
  painter.restore();
}

void ServerListView::DrawKept(const forms::ListPaint& paint) {
  if (!paint.clear && paint.rows.empty()) return;
  QPainter painter(&kept_);
  if (paint.clear) painter.fillRect(QRect(QPoint(), size()), look::kListBackground);
  for (const forms::RowToDraw& row : paint.rows) {
    const QRect rect = ToQRect(row.rect);
    painter.setClipRect(rect);
    painter.fillRect(rect, row.look.paint.highlighted ? look::kHighlight : look::kListBackground);
    template_.Paint(painter, rect.topLeft(), row.look.bound, row.look.paint.ControlListButton1,
                    row.look.paint.ControlListButton2);
  }
}

// Input goes to the logic as it comes.

void ServerListView::mouseMoveEvent(QMouseEvent* event) {
  Guarded([&] {
    const forms::Point p = PointOf(*event);
    if (Apply(scrollBar_.Move(p))) return;
    // Leaving the rows for the scroll bar leaves the list as far as the rows go.
    if (scrollBar_.OnBar(p)) model_.PointerLeave();
    else model_.PointerMove(p);
  });
}

void ServerListView::leaveEvent(QEvent*) {
  Apply(scrollBar_.Leave());
  model_.PointerLeave();
}

// The bar takes every press on it; the left button's work it.
void ServerListView::mousePressEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button) return;
  Guarded([&] {
    const forms::Point p = PointOf(*event);
    if (scrollBar_.OnBar(p)) {
      if (*button == forms::PointerButton::Left) Apply(scrollBar_.Press(p));
      return;
    }
    model_.Press(*button, p);
  });
}

void ServerListView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void ServerListView::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button) return;
  Guarded([&] {
    const forms::Point p = PointOf(*event);
    if (*button == forms::PointerButton::Left && Apply(scrollBar_.Release(p))) return;
    model_.Release(*button, p);
  });
}

// A window that loses the mouse mid-drag (another window shows) ends the drag.
bool ServerListView::event(QEvent* event) {
  const auto type = event->type();
  if (type == QEvent::WindowDeactivate || type == QEvent::Hide || type == QEvent::UngrabMouse) {
    Apply(scrollBar_.MouseLost());
  }
  return QWidget::event(event);
}

void ServerListView::wheelEvent(QWheelEvent* event) {
  bool scrolled = false;
  Guarded([&] { scrolled = model_.Wheel(event->angleDelta().y()); });
  if (scrolled) event->accept();
}

void ServerListView::keyPressEvent(QKeyEvent* event) {
  const auto key = KeyOf(event->key());
  if (!key) return QWidget::keyPressEvent(event);
  Guarded([&] { model_.Key(*key); });
}

void ServerListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  scrollBar_.Resize({width(), height()});
  Guarded([&] { model_.Resize(scrollBar_.RowsWidth(), height()); });
}

}  // namespace tandrel::ui

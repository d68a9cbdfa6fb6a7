#include "Pictures.h"

#include "LayoutRects.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tandrel::ui {

Picture::Picture(QWidget* parent, QRect geometry, Fit fit, double scale) : QWidget(parent), fit_(fit), scale_(scale) {
  setGeometry(geometry);
  setAttribute(Qt::WA_TranslucentBackground);
}

void Picture::SetPixmap(const QPixmap& pixmap) {
  pixmap_ = pixmap;
  update();
}

void Picture::paintEvent(QPaintEvent*) {
  if (pixmap_.isNull()) return;
  QPainter painter(this);
  if (fit_ == Fit::Stretch) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), pixmap_);
  } else {
    // Centred and not scaled: a larger picture is cut at the box's edges.
    const QSizeF size = pixmap_.deviceIndependentSize() * scale_;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size), pixmap_,
                       QRectF(pixmap_.rect()));
  }
}

void WindowMovePicture::mousePressEvent(QMouseEvent* event) {
  QWindow* window = this->window()->windowHandle();
  if (window && window->startSystemMove()) return;
  // No window manager to ask (a bare X server): follow the pointer ourselves.
  grab_ = event->globalPosition().toPoint() - this->window()->frameGeometry().topLeft();
}

void WindowMovePicture::mouseMoveEvent(QMouseEvent* event) {
  if (grab_ && event->buttons() != Qt::NoButton) window()->move(event->globalPosition().toPoint() - *grab_);
}

void WindowMovePicture::mouseReleaseEvent(QMouseEvent* event) {
  if (event->buttons() == Qt::NoButton) grab_.reset();
}

PressPicture::PressPicture(QWidget* parent, QRect geometry, double scale, int shift)
    : Picture(parent, geometry, Fit::CentreUnscaled, scale),
      grab_({forms::Rect{0, 0, geometry.width(), geometry.height()}}, {}, forms::PictureGrab::Elsewhere::Nothing),
      shift_(shift) {
  setCursor(Qt::PointingHandCursor);
}

namespace {

std::optional<forms::PressEffect::Button> ButtonOf(const QMouseEvent& event) {
  switch (event.button()) {
    case Qt::LeftButton: return forms::PressEffect::Button::Left;
    case Qt::RightButton: return forms::PressEffect::Button::Right;
    case Qt::MiddleButton: return forms::PressEffect::Button::Middle;
    default: return std::nullopt;
  }
}

}  // namespace

void PressPicture::Shift(bool shifted) {
  if (shifted == shifted_) return;
  shifted_ = shifted;
  move(pos() + (shifted ? QPoint(shift_, shift_) : QPoint(-shift_, -shift_)));
}

void PressPicture::mousePressEvent(QMouseEvent* event) {
  const auto button = ButtonOf(*event);
  if (button && grab_.Pressed(PointOf(*event), *button, false).shift) Shift(true);
}

void PressPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  const auto button = ButtonOf(*event);
  if (button && grab_.Pressed(PointOf(*event), *button, true).shift) Shift(true);
}

void PressPicture::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = ButtonOf(*event);
  if (!button) return;
  const auto up = grab_.Released(PointOf(*event), *button, event->buttons() != Qt::NoButton);
  if (up.click) emit clicked();
  if (up.moveBack) Shift(false);
}

bool PressPicture::event(QEvent* event) {
  const auto type = event->type();
  if (type == QEvent::WindowDeactivate || type == QEvent::Hide || type == QEvent::UngrabMouse) {
    if (grab_.MouseLost() >= 0) Shift(false);
  }
  return Picture::event(event);
}

}  // namespace tandrel::ui

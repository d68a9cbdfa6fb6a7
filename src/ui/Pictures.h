// The main window's picture controls: pictures that move the window when pressed
// (background, banner) and pictures with a press effect and a click (refresh,
// close, minimise).
#pragma once

#include "core/forms/PictureGrab.h"

#include <QPixmap>
#include <QWidget>

#include <optional>

namespace tandrel::ui {

class Picture : public QWidget {
  Q_OBJECT

 public:
  enum class Fit { Stretch, CentreUnscaled };
  // scale: how much larger than its own size a centred picture shows (the layout's
  // scale relative to Qt's).
  Picture(QWidget* parent, QRect geometry, Fit fit, double scale = 1.0);
  void SetPixmap(const QPixmap& pixmap);
  const QPixmap& pixmap() const { return pixmap_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap pixmap_;
  Fit fit_;
  double scale_;
};

// A press of any mouse button moves the window with the pointer until it is released.
class WindowMovePicture final : public Picture {
  Q_OBJECT

 public:
  using Picture::Picture;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::optional<QPoint> grab_;  // where the window was taken, when the window system cannot move it
};

// Forwards the mouse to forms::PictureGrab, one picture's, and shifts, clicks and
// moves back as it says; a window that loses the mouse mid-press (another window
// shows, or it is no longer active) moves it back without a click.
class PressPicture final : public Picture {
  Q_OBJECT

 public:
  // shift: how far right and down it moves while held.
  PressPicture(QWidget* parent, QRect geometry, double scale, int shift);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Shift(bool shifted);

  forms::PictureGrab grab_;
  int shift_;
  bool shifted_ = false;
};

}  // namespace tandrel::ui

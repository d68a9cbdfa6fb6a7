// The window logic's places and sizes as Qt takes them.
#pragma once

#include "core/forms/ServerListLayout.h"

#include <QMouseEvent>
#include <QPoint>
#include <QRect>

namespace tandrel::ui {

inline QRect ToQRect(const forms::Rect& r) { return {r.left, r.top, r.width, r.height}; }
inline QPoint ToQPoint(const forms::Point& p) { return {p.x, p.y}; }
inline forms::Rect FromQRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
// Where a mouse event happened, in the receiving widget's pixels.
inline forms::Point PointOf(const QMouseEvent& event) {
  const QPoint p = event.position().toPoint();
  return {p.x(), p.y()};
}

}  // namespace tandrel::ui

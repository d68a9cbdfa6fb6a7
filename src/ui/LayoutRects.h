// The window logic's places and sizes as Qt takes them.
#pragma once

#include "core/forms/ServerListLayout.h"

#include <QPoint>
#include <QRect>

namespace tandrel::ui {

inline QRect ToQRect(const forms::Rect& r) { return {r.left, r.top, r.width, r.height}; }
inline QPoint ToQPoint(const forms::Point& p) { return {p.x, p.y}; }

}  // namespace tandrel::ui

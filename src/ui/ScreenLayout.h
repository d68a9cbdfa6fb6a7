// The layout the Qt windows take on a screen. Qt scales device-independent
// pixels by the screen's own factor, so the logic's scale is relative to Qt's:
// 100 % where the window fits the screen's work area at Qt's scale, and the
// largest smaller one that fits where it does not (never below the window's
// size at 100 % in device pixels).
#pragma once

#include "core/forms/WindowLayout.h"

class QScreen;

namespace tandrel::ui {

forms::WindowLayout LayoutOn(const QScreen* screen);

// The artwork's drawing (1x or 2x) nearest the screen's pixels at that layout.
int ArtworkDensityOn(const QScreen* screen, const forms::WindowLayout& layout);

}  // namespace tandrel::ui

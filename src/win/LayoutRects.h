// The window logic's places and sizes as Win32 takes them.
#pragma once

#include "core/forms/WindowLayout.h"

#include <windows.h>

namespace tandrel::win {

inline RECT ToRECT(const forms::Rect& r) { return {r.left, r.top, r.left + r.width, r.top + r.height}; }
inline forms::Rect FromRECT(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
inline SIZE ToSIZE(forms::Size s) { return {s.width, s.height}; }
inline forms::Point FromPOINT(POINT p) { return {p.x, p.y}; }

}  // namespace tandrel::win

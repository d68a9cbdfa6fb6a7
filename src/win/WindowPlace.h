// Where windows go when they are centred: on the primary monitor or over another
// window, with the rule of core/forms' Centring.
#pragma once

#include "core/forms/WindowLayout.h"

#include <windows.h>

namespace tandrel::win {

// The top-left corner of a window of that size centred on the primary monitor.
POINT CentredOnPrimary(SIZE size);
// Centred over the window, held within the work area of the monitor it is on;
// without a window, centred in the primary monitor's work area.
POINT CentredOver(HWND over, SIZE size);

// The scale for a window of base size (at 100 %) on a monitor: the monitor's own,
// or the largest that fits its work area (never below 100 %). dpi: the monitor's,
// when the system has named it already (WM_DPICHANGED); 0 asks the monitor.
forms::Scale ScaleOn(HMONITOR monitor, forms::Size base, UINT dpi = 0);
HMONITOR PrimaryMonitorHandle();

}  // namespace tandrel::win

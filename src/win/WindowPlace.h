// Where windows go when they are centred: on the primary monitor or over another
// window, with the rule of core/forms' Centring.
#pragma once

#include <windows.h>

namespace tandrel::win {

// The top-left corner of a window of that size centred on the primary monitor.
POINT CentredOnPrimary(SIZE size);
// Centred over the window, held within the work area of the monitor it is on;
// without a window, centred in the primary monitor's work area.
POINT CentredOver(HWND over, SIZE size);

}  // namespace tandrel::win

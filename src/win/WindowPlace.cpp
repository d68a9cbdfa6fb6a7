#include "WindowPlace.h"

#include "core/forms/Centring.h"

#include <shellscalingapi.h>

namespace tandrel::win {
namespace {

MONITORINFO MonitorInfo(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  return info;
}

MONITORINFO PrimaryMonitor() { return MonitorInfo(PrimaryMonitorHandle()); }

POINT Centred(const RECT& area, const RECT& bounds, SIZE size) {
  return {forms::CentredStart(area.left, area.right - area.left, size.cx, bounds.left, bounds.right - bounds.left),
          forms::CentredStart(area.top, area.bottom - area.top, size.cy, bounds.top, bounds.bottom - bounds.top)};
}

}  // namespace

HMONITOR PrimaryMonitorHandle() { return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY); }

forms::Scale ScaleOn(HMONITOR monitor, forms::Size base, UINT dpi) {
  UINT x = dpi, y = dpi;
  if (dpi == 0 && FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y))) x = forms::Scale::kBaseDpi;
  const RECT work = MonitorInfo(monitor).rcWork;
  return forms::FittingScale(forms::Scale(static_cast<int>(x)), base,
                             forms::Size{work.right - work.left, work.bottom - work.top});
}

POINT CentredOnPrimary(SIZE size) {
  const RECT screen = PrimaryMonitor().rcMonitor;
  return Centred(screen, screen, size);
}

POINT CentredOver(HWND over, SIZE size) {
  if (!over) {
    const RECT work = PrimaryMonitor().rcWork;
    return Centred(work, work, size);
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(over, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT area{};
  GetWindowRect(over, &area);
  return Centred(area, monitor.rcWork, size);
}

}  // namespace tandrel::win

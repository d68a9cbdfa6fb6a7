#include "WindowPlace.h"

#include "core/forms/Centring.h"

namespace tandrel::win {
namespace {

MONITORINFO PrimaryMonitor() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return info;
}

POINT Centred(const RECT& area, const RECT& bounds, SIZE size) {
  return {forms::CentredStart(area.left, area.right - area.left, size.cx, bounds.left, bounds.right - bounds.left),
          forms::CentredStart(area.top, area.bottom - area.top, size.cy, bounds.top, bounds.bottom - bounds.top)};
}

}  // namespace

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

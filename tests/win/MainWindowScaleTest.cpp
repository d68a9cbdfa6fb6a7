// The main window at a monitor's scale: when the system says the window moved to
// a monitor of another DPI, it takes the new size and lays every part out again.
#include "win/LayoutRects.h"
#include "win/Pictures.h"
#include "win/uMainForm.h"

#include "core/forms/Termination.h"
#include "platform/windows/ComApartment.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

namespace tandrel::win {
namespace {

using namespace std::chrono_literals;

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// Where a child lies in its parent's client area.
RECT PlaceIn(HWND parent, HWND child) {
  RECT r = WindowRectOf(child);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(MainWindowScale, AMoveToAMonitorOfAnotherDpiLaysTheWindowOutAgain) {
  const platform::ComApartment com;
  const GdiplusSession gdiplus;
  forms::MainFormOptions options;
  options.site = [] { return ServiceSite{"http://127.0.0.1:1/", "", {}, {}, {}, {}}; };
  options.timer2 = options.timer4 = 1h;  // no load: this is about the layout
  MainWindow window(options);
  const HWND handle = window.Handle();
  if (!handle) GTEST_SKIP() << "no window system";
  const HWND list = GetWindow(handle, GW_CHILD);
  ASSERT_NE(list, nullptr);

  for (const int dpi : {192, 120, 96}) {
    SCOPED_TRACE(dpi);
    const forms::WindowLayout layout = forms::LayoutAt(forms::Scale(dpi));
    RECT suggested{40, 30, 40 + layout.main.window.width, 30 + layout.main.window.height};
    SendMessageW(handle, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const RECT placed = WindowRectOf(handle);
    EXPECT_EQ(placed.left, 40);
    EXPECT_EQ(placed.top, 30);
    EXPECT_EQ(placed.right - placed.left, layout.main.window.width);
    EXPECT_EQ(placed.bottom - placed.top, layout.main.window.height);
    const RECT rows = PlaceIn(handle, list);
    const RECT expected = ToRECT(layout.main.ControlList1);
    EXPECT_TRUE(EqualRect(&rows, &expected)) << rows.left << "," << rows.top << " " << rows.right << "," << rows.bottom;
  }
  forms::ResetTerminationForTests();
}

}  // namespace
}  // namespace tandrel::win

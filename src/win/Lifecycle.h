// Win32's side of ending the program and of modal windows. The termination state
// and its rule (a modal window shown while termination is pending closes at once,
// and so does the main loop) are core/forms' Termination.
#pragma once

#include <windows.h>

#include <functional>

namespace tandrel::win {

// While it lives, a termination request posts WM_QUIT, which ends every loop
// running then, and failures are reported in message boxes.
class WinLifecycle final {
 public:
  WinLifecycle();
  ~WinLifecycle();
  WinLifecycle(const WinLifecycle&) = delete;
  WinLifecycle& operator=(const WinLifecycle&) = delete;
};

// The main message loop; returns WM_QUIT's exit status, or 0 at once when
// termination was requested before it.
int RunMainLoop();

// Shows the window and runs a modal loop over owner, which is disabled meanwhile,
// until result gives other than 0 or WM_QUIT arrives (posted again for the loops
// outside); hides the window and returns that result, 0 after WM_QUIT. Returns 0
// at once while termination is pending.
int RunModal(HWND window, HWND owner, const std::function<int()>& result);

}  // namespace tandrel::win

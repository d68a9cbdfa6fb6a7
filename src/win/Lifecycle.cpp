#include "Lifecycle.h"

#include "FailureReport.h"

#include "core/forms/FailureReport.h"
#include "core/forms/Termination.h"

namespace tandrel::win {

WinLifecycle::WinLifecycle() {
  forms::SetQuitRequest([] { PostQuitMessage(0); });
  forms::SetFailureReport(ShowFailure);
}

WinLifecycle::~WinLifecycle() {
  forms::SetFailureReport(nullptr);
  forms::SetQuitRequest(nullptr);
}

int RunMainLoop() {
  return forms::RunUnlessTerminating([] {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
  });
}

int RunModal(HWND window, HWND owner, const std::function<int()>& result) {
  return forms::RunUnlessTerminating([&] {
    const bool disabled = owner && IsWindowEnabled(owner);
    if (disabled) EnableWindow(owner, FALSE);
    // A click's handler may open the window while the clicked window still holds the mouse.
    ReleaseCapture();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    int ended = 0;
    MSG msg;
    while ((ended = result()) == 0) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      // No IsDialogMessage: Escape and Enter mean nothing to the loop itself.
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // The owner first, so it takes the activation back when the window goes.
    if (disabled) EnableWindow(owner, TRUE);
    ShowWindow(window, SW_HIDE);
    return ended;
  });
}

}  // namespace tandrel::win

#include "WinEventLoop.h"

#include <windows.h>

namespace tandrel::win {

void WinEventLoop::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::uint32_t WinEventLoop::TickCount() { return GetTickCount(); }

void WinEventLoop::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace tandrel::win

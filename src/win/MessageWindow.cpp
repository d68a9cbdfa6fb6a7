#include "MessageWindow.h"

namespace tandrel::win {

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
  Create(L"TandrelMessageWindow", 0, 0, 0, RECT{}, HWND_MESSAGE);
}

MessageWindow::~MessageWindow() { Destroy(); }

LRESULT MessageWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER || message == WM_TIMER) return handler_(message, wParam, lParam);
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace tandrel::win

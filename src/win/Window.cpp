#include "Window.h"

#include "platform/windows/WideText.h"

#include <windowsx.h>

#include <stdexcept>

namespace tandrel::win {
namespace {

void RegisterOnce(const wchar_t* className, UINT classStyle, WNDPROC procedure) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, className, &existing)) return;
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.style = classStyle;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The executable's own icon, for the window and its taskbar button.
  cls.hIcon = LoadIconW(instance, L"MAINICON");
  cls.lpszClassName = className;
  if (!RegisterClassExW(&cls)) {
    throw std::runtime_error("Cannot register a window class. " + platform::SystemErrorText(GetLastError()));
  }
}

}  // namespace

Window::~Window() { Destroy(); }

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::Create(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style, const RECT& place,
                    HWND parent, const wchar_t* title) {
  RegisterOnce(className, classStyle, Procedure);
  const HWND created =
      CreateWindowExW(exStyle, className, title, style, place.left, place.top, place.right - place.left,
                      place.bottom - place.top, parent, nullptr, GetModuleHandleW(nullptr), this);
  if (!created) throw std::runtime_error("Cannot create a window. " + platform::SystemErrorText(GetLastError()));
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = self->OnMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace tandrel::win

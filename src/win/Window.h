// A window of one of the program's own classes whose messages go to a C++ object.
#pragma once

#include <windows.h>

namespace tandrel::win {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }

 protected:
  // Registers the class on its first use and creates the window; throws with the
  // system's text when it cannot.
  void Create(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style, const RECT& place, HWND parent,
              const wchar_t* title = L"");
  // Messages the window does not handle go to DefWindowProcW.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Destroys the window now, with its messages still going to the object.
  void Destroy();

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

// The client coordinates a mouse message carries.
POINT PointOf(LPARAM lParam);

}  // namespace tandrel::win

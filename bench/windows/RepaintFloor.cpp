// The least a timed repaint of the list's badges costs: a bare window of the
// box's size whose list-sized child draws the badges' column onto its window
// every 150 ms, copying it from a kept picture, as a frame of the box does at
// its simplest. scripts/bench sets its idle CPU beside the box's, under the
// same Wine.
#include <windows.h>

namespace {

constexpr int kWidth = 980, kHeight = 939;
constexpr RECT kList{13, 123, 13 + 952, 123 + 800};
constexpr RECT kBadgesColumn{15, 6, 15 + 50, 790};  // 21 rows of badges, as the bench's list shows them
constexpr UINT kFrame = 150;

HDC kept;

LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      const HDC dc = GetDC(window);
      BitBlt(dc, kBadgesColumn.left, kBadgesColumn.top, kBadgesColumn.right - kBadgesColumn.left,
             kBadgesColumn.bottom - kBadgesColumn.top, kept, kBadgesColumn.left, kBadgesColumn.top, SRCCOPY);
      ReleaseDC(window, dc);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(window, &ps);
      const RECT& r = ps.rcPaint;
      BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, kept, r.left, r.top, SRCCOPY);
      EndPaint(window, &ps);
      return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

ATOM Register(const wchar_t* name, WNDPROC proc, HINSTANCE instance) {
  WNDCLASSW type{};
  type.lpfnWndProc = proc;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  type.lpszClassName = name;
  return RegisterClassW(&type);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!Register(L"RepaintFloor", MainProc, instance) || !Register(L"RepaintFloorList", ListProc, instance)) return 1;
  const HWND main = CreateWindowExW(
      0, L"RepaintFloor", L"RepaintFloor", WS_POPUP | WS_VISIBLE, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
      (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  const HWND list =
      CreateWindowExW(0, L"RepaintFloorList", L"", WS_CHILD | WS_VISIBLE, kList.left, kList.top,
                      kList.right - kList.left, kList.bottom - kList.top, main, nullptr, instance, nullptr);
  if (!main || !list) return 1;
  const HDC screen = GetDC(list);
  kept = CreateCompatibleDC(screen);
  SelectObject(kept, CreateCompatibleBitmap(screen, kList.right - kList.left, kList.bottom - kList.top));
  ReleaseDC(list, screen);
  PatBlt(kept, 0, 0, kList.right - kList.left, kList.bottom - kList.top, WHITENESS);
  SetTimer(list, 1, kFrame, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

#include "PressPicture.h"

#include "LayoutRects.h"
#include "Window.h"

#include <optional>

namespace tandrel::win {
namespace {

// SC_MOVE with HTCAPTION: the system's move loop follows the pointer.
constexpr WPARAM kMoveWithPointer = 0xF012;

forms::Point At(LPARAM lParam) { return FromPOINT(PointOf(lParam)); }

std::optional<forms::PressEffect::Button> ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: return forms::PressEffect::Button::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP: return forms::PressEffect::Button::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP: return forms::PressEffect::Button::Middle;
    default: return std::nullopt;
  }
}

bool IsRelease(UINT message) { return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP; }

bool IsDoubleClick(UINT message) {
  return message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
}

std::vector<forms::Rect> Boxes(const std::vector<PressPictures::Item>& items) {
  std::vector<forms::Rect> boxes;
  for (const auto& item : items) boxes.push_back(item.box);
  return boxes;
}

}  // namespace

PressPictures::PressPictures(HWND window, std::vector<Item> items, std::vector<forms::Rect> still,
                             forms::PictureGrab::Elsewhere elsewhere, int shift)
    : window_(window),
      shift_(shift),
      items_(std::move(items)),
      shifts_(items_.size(), 0),
      grab_(Boxes(items_), std::move(still), elsewhere) {}

void PressPictures::Paint(Gdiplus::Graphics& graphics) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    const int width = static_cast<int>(item.picture->GetWidth()), height = static_cast<int>(item.picture->GetHeight());
    const int left = item.box.left + (item.box.width - width) / 2 + shifts_[i];
    const int top = item.box.top + (item.box.height - height) / 2 + shifts_[i];
    Draw(graphics, *item.picture, left, top);
  }
}

bool PressPictures::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::function<void(int)>& click) {
  if (message == WM_SETCURSOR) {
    if (reinterpret_cast<HWND>(wParam) != window_ || LOWORD(lParam) != HTCLIENT) return false;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window_, &p);
    SetCursor(LoadCursorW(nullptr, grab_.PictureAt({p.x, p.y}) >= 0 ? IDC_HAND : IDC_ARROW));
    return true;
  }
  if (message == WM_CAPTURECHANGED) {
    // Another window took the mouse (a message box, the system): nothing held stays shifted.
    if (reinterpret_cast<HWND>(lParam) == window_) return true;
    if (const int back = grab_.MouseLost(); back >= 0) Shift(back, 0);
    return true;
  }
  const auto button = ButtonOf(message);
  if (!button) return false;
  if (!IsRelease(message)) {
    const auto down = grab_.Pressed(At(lParam), *button, IsDoubleClick(message));
    if (down.moveWindow) {
      ReleaseCapture();
      SendMessageW(window_, WM_SYSCOMMAND, kMoveWithPointer, 0);
    }
    if (down.picture >= 0 && GetCapture() != window_) SetCapture(window_);
    if (down.shift) Shift(down.picture, shift_);
    return true;
  }
  const bool anyButtonDown = (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
  const auto up = grab_.Released(At(lParam), *button, anyButtonDown);
  if (up.picture < 0) return true;
  if (up.releaseMouse) ReleaseCapture();
  if (up.click) click(up.picture);
  if (up.moveBack && IsWindow(window_)) Shift(up.picture, 0);
  return true;
}

void PressPictures::Shift(int picture, int by) {
  const auto i = static_cast<std::size_t>(picture);
  shifts_[i] = by;
  RECT area = ToRECT(items_[i].box);
  area.right += shift_;
  area.bottom += shift_;
  InvalidateRect(window_, &area, FALSE);
  // Shown now: a click's handler may hold the thread for a while (the refresh).
  UpdateWindow(window_);
}

}  // namespace tandrel::win

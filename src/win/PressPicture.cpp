#include "PressPicture.h"

namespace tandrel::win {

PressPicture::PressPicture(HWND window, RECT box, Gdiplus::Bitmap& picture)
    : window_(window), box_(box), picture_(picture) {}

void PressPicture::Paint(Gdiplus::Graphics& graphics) const {
  const int width = static_cast<int>(picture_.GetWidth()), height = static_cast<int>(picture_.GetHeight());
  const int left = box_.left + (box_.right - box_.left - width) / 2 + shift_;
  const int top = box_.top + (box_.bottom - box_.top - height) / 2 + shift_;
  Draw(graphics, picture_, left, top);
}

void PressPicture::Press(forms::PressEffect::Button button, bool secondOfDoubleClick) {
  if (secondOfDoubleClick ? effect_.DoubleClickPress(button) : effect_.Press(button)) Shift(1);
}

forms::PressEffect::Release PressPicture::Release(forms::PressEffect::Button button, POINT p) {
  return effect_.Released(button, Contains(p));
}

void PressPicture::MoveBack() { Shift(0); }

void PressPicture::Shift(int by) {
  shift_ = by;
  RECT area = box_;
  area.right += 1;
  area.bottom += 1;
  InvalidateRect(window_, &area, FALSE);
  // Shown now: a click's handler may hold the thread for a while (the refresh).
  UpdateWindow(window_);
}

std::optional<forms::PressEffect::Button> PressButtonOf(UINT message) {
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

}  // namespace tandrel::win

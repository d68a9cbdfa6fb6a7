#include "Offscreen.h"

#include <stdexcept>

namespace tandrel::win {

Offscreen::~Offscreen() { Release(); }

void Offscreen::Release() {
  if (dc_) {
    SelectObject(dc_, original_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  width_ = height_ = 0;
}

HDC Offscreen::Prepare(int width, int height) {
  if (dc_ && width <= width_ && height <= height_) return dc_;
  Release();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = CreateCompatibleDC(nullptr);
  if (!bitmap_ || !dc_) {
    Release();
    throw std::runtime_error("Out of memory for painting a window.");
  }
  original_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  return dc_;
}

void Offscreen::CopyTo(HDC target, const RECT& area) const {
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_, area.left, area.top,
         SRCCOPY);
}

}  // namespace tandrel::win

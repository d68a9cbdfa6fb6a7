#include "Offscreen.h"

#include <stdexcept>

namespace tandrel::win {

Offscreen::~Offscreen() { Release(); }

// The picture leaves the device before either goes.
void Offscreen::Release() {
  selection_.reset();
  dc_.reset();
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
}

HDC Offscreen::Prepare(int width, int height) {
  if (dc_ && width <= width_ && height <= height_) return dc_.get();
  Release();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
  dc_ = ScreenCompatibleDc();
  if (!bitmap_ || !dc_) {
    Release();
    throw std::runtime_error("Out of memory for painting a window.");
  }
  selection_ = std::make_unique<Selection>(dc_.get(), bitmap_.get());
  width_ = width;
  height_ = height;
  return dc_.get();
}

void Offscreen::CopyTo(HDC target, const RECT& area) const {
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_.get(), area.left, area.top,
         SRCCOPY);
}

std::unique_ptr<Gdiplus::Bitmap> Offscreen::Pixels() const {
  // What GDI drew is in the pixels before GDI+ reads them.
  GdiFlush();
  return std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppRGB, static_cast<BYTE*>(bits_));
}

}  // namespace tandrel::win

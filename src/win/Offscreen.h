// An off-screen picture of a window's client area: painted whole, then copied to
// the screen in one BitBlt, so repaints do not flicker.
#pragma once

#include "GdiHandles.h"
#include "GdiplusHeaders.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace tandrel::win {

class Offscreen {
 public:
  Offscreen() = default;
  ~Offscreen();
  Offscreen(const Offscreen&) = delete;
  Offscreen& operator=(const Offscreen&) = delete;

  // A memory DC holding a 32-bit picture at least that large; its content is kept
  // while the size stays.
  HDC Prepare(int width, int height);
  // The memory DC of the last Prepare.
  HDC Dc() const { return dc_.get(); }
  // Copies the area from the picture to the same place of the target.
  void CopyTo(HDC target, const RECT& area) const;
  // The picture's 32-bit pixels, top row first, and the bytes from one row to the next.
  std::uint8_t* Bits() const { return static_cast<std::uint8_t*>(bits_); }
  int Stride() const { return width_ * 4; }
  // The picture's pixels for GDI+, which draws into them directly, with no
  // device between (under Wine a device costs a temporary picture per drawing).
  // Valid until the next Prepare that grows it.
  std::unique_ptr<Gdiplus::Bitmap> Pixels() const;

 private:
  void Release();

  GdiObject<HBITMAP> bitmap_;
  MemoryDc dc_;
  std::unique_ptr<Selection> selection_;  // the picture in the device
  void* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace tandrel::win

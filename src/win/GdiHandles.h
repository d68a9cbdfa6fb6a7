// Owning wrappers for GDI and GDI+ resources: each is given back however the
// drawing that took it ends, a failure included.
#pragma once

#include "GdiplusHeaders.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tandrel::win {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using Brush = GdiObject<HBRUSH>;
using Region = GdiObject<HRGN>;
using Font = GdiObject<HFONT>;

inline Brush SolidBrush(COLORREF colour) { return Brush(CreateSolidBrush(colour)); }
inline Region RectRegion(int left, int top, int right, int bottom) {
  return Region(CreateRectRgn(left, top, right, bottom));
}

struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
// A memory device compatible with the screen.
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;
inline MemoryDc ScreenCompatibleDc() { return MemoryDc(CreateCompatibleDC(nullptr)); }

// A window's device (the screen's for none) for drawing outside WM_PAINT.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() { ReleaseDC(window_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device while it lives; the device's own comes back after.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, previous_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A device's state (its clipping among it) put back when this ends.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// A GDI+ picture's pixels, locked while this lives, if GDI+ locked them.
class LockedBits {
 public:
  LockedBits(Gdiplus::Bitmap& picture, const Gdiplus::Rect& area, UINT mode, Gdiplus::PixelFormat format,
             Gdiplus::BitmapData& data)
      : picture_(picture), data_(data), locked_(picture.LockBits(&area, mode, format, &data) == Gdiplus::Ok) {}
  ~LockedBits() {
    if (locked_) picture_.UnlockBits(&data_);
  }
  LockedBits(const LockedBits&) = delete;
  LockedBits& operator=(const LockedBits&) = delete;
  bool Locked() const { return locked_; }

 private:
  Gdiplus::Bitmap& picture_;
  Gdiplus::BitmapData& data_;
  bool locked_;
};

}  // namespace tandrel::win

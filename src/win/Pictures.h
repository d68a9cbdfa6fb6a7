// Pictures for GDI+ painting, decoded by WIC from whatever format their bytes
// hold (PNG, JPEG, BMP, GIF...), as 32-bit colour with premultiplied alpha.
#pragma once

#include "GdiplusHeaders.h"

#include <cstdint>
#include <memory>
#include <span>

namespace tandrel::win {

using Picture = std::unique_ptr<Gdiplus::Bitmap>;

// GDI+ for as long as it lives; one for the whole program, made on the
// user-interface thread before any picture.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// An empty picture of the given size, all transparent.
Picture BlankPicture(int width, int height);

// The first frame of the picture the bytes hold; nullptr when they hold none WIC
// can decode.
Picture DecodePicture(std::span<const std::uint8_t> bytes);

// The picture as it looks stretched to the given size, made once so painting
// copies it as it is.
Picture Scaled(Gdiplus::Bitmap& source, int width, int height);

// Draws a picture at its own size, or stretched to the box.
void Draw(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& picture, int left, int top);
void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& picture, int left, int top, int width, int height);

}  // namespace tandrel::win

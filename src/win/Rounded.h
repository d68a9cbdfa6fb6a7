// Rounded rectangles for the program's own controls.
#pragma once

#include "GdiplusHeaders.h"

namespace tandrel::win {

void FillRounded(Gdiplus::Graphics& graphics, const Gdiplus::Brush& brush, Gdiplus::RectF box, float radius);
void FrameRounded(Gdiplus::Graphics& graphics, const Gdiplus::Pen& pen, Gdiplus::RectF box, float radius);

}  // namespace tandrel::win

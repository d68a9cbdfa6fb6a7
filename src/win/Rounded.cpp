#include "Rounded.h"

#include <algorithm>

namespace tandrel::win {
namespace {

void Outline(Gdiplus::GraphicsPath& path, Gdiplus::RectF box, float radius) {
  const float d = std::min({radius * 2, box.Width, box.Height});
  if (d <= 0) {
    path.AddRectangle(box);
    return;
  }
  path.AddArc(box.X, box.Y, d, d, 180, 90);
  path.AddArc(box.X + box.Width - d, box.Y, d, d, 270, 90);
  path.AddArc(box.X + box.Width - d, box.Y + box.Height - d, d, d, 0, 90);
  path.AddArc(box.X, box.Y + box.Height - d, d, d, 90, 90);
  path.CloseFigure();
}

}  // namespace

void FillRounded(Gdiplus::Graphics& graphics, const Gdiplus::Brush& brush, Gdiplus::RectF box, float radius) {
  Gdiplus::GraphicsPath path;
  Outline(path, box, radius);
  graphics.FillPath(&brush, &path);
}

void FrameRounded(Gdiplus::Graphics& graphics, const Gdiplus::Pen& pen, Gdiplus::RectF box, float radius) {
  Gdiplus::GraphicsPath path;
  Outline(path, box, radius);
  graphics.DrawPath(&pen, &path);
}

}  // namespace tandrel::win

#include "AuricProgressBar.h"

#include "Look.h"
#include "Rounded.h"

#include <algorithm>

namespace tandrel::win {

void PaintProgressBar(HDC dc, const forms::DownloadDialogLayout& layout, int position, bool busy, unsigned phase,
                      const VisualStyle& style) {
  const forms::Rect& bar = layout.ProgressBar1;
  const RECT box{bar.left, bar.top, bar.left + bar.width, bar.top + bar.height};
  const auto inset = static_cast<float>(layout.progressInset);
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  const auto width = static_cast<float>(box.right - box.left), height = static_cast<float>(box.bottom - box.top);
  const Gdiplus::RectF outer(static_cast<float>(box.left) + 0.5f, static_cast<float>(box.top) + 0.5f, width - 1,
                             height - 1);
  Gdiplus::SolidBrush ground(look::Opaque(style.ground));
  FillRounded(graphics, ground, outer, static_cast<float>(layout.progressCorner));
  Gdiplus::Pen frame(look::Opaque(style.edge));
  FrameRounded(graphics, frame, outer, static_cast<float>(layout.progressCorner));

  const float inner = width - 2 * inset;
  float start = 0, length = inner * static_cast<float>(std::clamp(position, 0, 100)) / 100.0f;
  if (busy) {
    // A quarter of the bar, running across it once every two seconds.
    length = inner / 4;
    start = (inner + length) * static_cast<float>(phase % 2000) / 2000.0f - length;
  }
  const float left = std::max(0.0f, start), right = std::min(inner, start + length);
  if (right - left < 1) return;
  const Gdiplus::RectF chunk(static_cast<float>(box.left) + inset + left, static_cast<float>(box.top) + inset,
                             right - left, height - 2 * inset);
  Gdiplus::LinearGradientBrush gold(Gdiplus::PointF(0, chunk.Y - 0.5f),
                                    Gdiplus::PointF(0, chunk.Y + chunk.Height + 0.5f), look::Opaque(style.accentLight),
                                    look::Opaque(style.accentDark));
  const Gdiplus::Color colours[] = {look::Opaque(style.accentLight), look::Opaque(style.accent),
                                    look::Opaque(style.accentDark)};
  const Gdiplus::REAL stops[] = {0.0f, 0.45f, 1.0f};
  gold.SetInterpolationColors(colours, stops, 3);
  FillRounded(graphics, gold, chunk, static_cast<float>(layout.progressChunkCorner));
}

}  // namespace tandrel::win

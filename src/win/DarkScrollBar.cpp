#include "DarkScrollBar.h"

#include "Look.h"
#include "Rounded.h"

namespace tandrel::win {

void PaintScrollBar(HDC dc, const RECT& bar, const RECT& thumb, int thumbCorner,
                    forms::ScrollBarModel::ThumbState state, const VisualStyle& style) {
  using State = forms::ScrollBarModel::ThumbState;
  Gdiplus::Graphics graphics(dc);
  Gdiplus::SolidBrush track(look::Opaque(style.track));
  graphics.FillRectangle(&track, static_cast<INT>(bar.left), static_cast<INT>(bar.top),
                         static_cast<INT>(bar.right - bar.left), static_cast<INT>(bar.bottom - bar.top));
  const COLORREF colour = state == State::Pressed ? style.accentDark : state == State::Hot ? style.accent : style.edge;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::SolidBrush brush(look::Opaque(colour));
  const Gdiplus::RectF box(static_cast<float>(thumb.left), static_cast<float>(thumb.top),
                           static_cast<float>(thumb.right - thumb.left), static_cast<float>(thumb.bottom - thumb.top));
  FillRounded(graphics, brush, box, static_cast<float>(thumbCorner));
}

}  // namespace tandrel::win

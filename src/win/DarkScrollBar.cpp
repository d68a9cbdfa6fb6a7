#include "DarkScrollBar.h"

#include "Look.h"
#include "Rounded.h"

#include <algorithm>

namespace tandrel::win {
namespace {

constexpr int kMinimumThumb = 28;

}  // namespace

Thumb ThumbOf(int trackLength, int maximum, int page, int offset) {
  const int whole = std::max(1, maximum + page);
  const int length =
      std::clamp(static_cast<int>(static_cast<long long>(trackLength) * page / whole), kMinimumThumb, trackLength);
  const int room = trackLength - length;
  const int top =
      maximum > 0 ? static_cast<int>(static_cast<long long>(room) * std::clamp(offset, 0, maximum) / maximum) : 0;
  return {top, length};
}

int OffsetOfThumb(int trackLength, int maximum, int page, int thumbTop) {
  const int room = trackLength - ThumbOf(trackLength, maximum, page, 0).length;
  if (room <= 0) return 0;
  const long long offset = (static_cast<long long>(std::clamp(thumbTop, 0, room)) * maximum + room / 2) / room;
  return static_cast<int>(offset);
}

void PaintScrollBar(HDC dc, const RECT& bar, const Thumb& thumb, ThumbState state, const VisualStyle& style) {
  Gdiplus::Graphics graphics(dc);
  Gdiplus::SolidBrush track(look::Opaque(style.track));
  graphics.FillRectangle(&track, static_cast<INT>(bar.left), static_cast<INT>(bar.top),
                         static_cast<INT>(bar.right - bar.left), static_cast<INT>(bar.bottom - bar.top));
  const COLORREF colour = state == ThumbState::Pressed ? style.accentDark
                          : state == ThumbState::Hot   ? style.accent
                                                       : style.edge;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::SolidBrush brush(look::Opaque(colour));
  // Inset 4 at the sides and 2 at the ends, with round corners.
  const Gdiplus::RectF box(static_cast<float>(bar.left + 4), static_cast<float>(bar.top + thumb.top + 2),
                           static_cast<float>(bar.right - bar.left - 8), static_cast<float>(thumb.length - 4));
  FillRounded(graphics, brush, box, 4);
}

}  // namespace tandrel::win

// The list's vertical scroll bar, drawn by the program in the style's dark look:
// where its thumb lies, which offset a dragged thumb means, and its painting.
#pragma once

#include "VisualStyles.h"

#include <windows.h>

namespace tandrel::win {

inline constexpr int kScrollBarWidth = 17;

struct Thumb {
  int top = 0;
  int length = 0;
};

// The thumb in a track of trackLength for a range 0 to maximum (above 0), a page
// of page and the offset: as long as the page's share of the whole, at least 28.
Thumb ThumbOf(int trackLength, int maximum, int page, int offset);
// The offset that puts the thumb's top at thumbTop, held within 0 to maximum.
int OffsetOfThumb(int trackLength, int maximum, int page, int thumbTop);

enum class ThumbState { Normal, Hot, Pressed };

void PaintScrollBar(HDC dc, const RECT& bar, const Thumb& thumb, ThumbState state, const VisualStyle& style);

}  // namespace tandrel::win

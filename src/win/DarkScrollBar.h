// The list's vertical scroll bar, drawn by the program in the style's dark look;
// forms::ScrollBarModel says where its thumb lies and how it shows.
#pragma once

#include "VisualStyles.h"

#include "core/forms/ScrollBarModel.h"

#include <windows.h>

namespace tandrel::win {

// The track over the whole bar, and the thumb in its box with round corners.
void PaintScrollBar(HDC dc, const RECT& bar, const RECT& thumb, int thumbCorner,
                    forms::ScrollBarModel::ThumbState state, const VisualStyle& style);

}  // namespace tandrel::win

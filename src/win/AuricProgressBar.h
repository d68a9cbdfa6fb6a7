// The download dialog's progress bar, drawn by the program in a style's look (the
// dialog gives it "Auric"): a dark ground in a thin frame and a gold bar.
#pragma once

#include "VisualStyles.h"

#include "core/forms/WindowLayout.h"

#include <windows.h>

namespace tandrel::win {

// position 0 to 100. A busy bar shows a moving segment instead: phase is any
// running count (milliseconds), its place follows it.
void PaintProgressBar(HDC dc, const forms::DownloadDialogLayout& layout, int position, bool busy, unsigned phase,
                      const VisualStyle& style);

}  // namespace tandrel::win

// The box's named visual styles: "Windows11 MineShaft" (dark grey, blue accents)
// for the whole program and "Auric" (dark grey, gold accents) for the download
// dialog's progress bar. A style here is the set of colours the program's own
// drawing of scroll bar, progress bar, dialogs and message boxes takes.
#pragma once

#include <windows.h>

#include <string_view>

namespace tandrel::win {

inline constexpr const char* kMainStyle = "Windows11 MineShaft";
inline constexpr const char* kProgressStyle = "Auric";

struct VisualStyle {
  const char* name;
  COLORREF face;         // dialogs' ground
  COLORREF text;         // what the style writes itself
  COLORREF ground;       // inside a progress bar
  COLORREF track;        // a scroll bar's track
  COLORREF control;      // buttons, a scroll bar's thumb
  COLORREF edge;         // frames
  COLORREF accent;       // hot parts, the default button's frame
  COLORREF accentLight;  // the bright end of the progress bar
  COLORREF accentDark;   // pressed parts, the dark end of the progress bar
};

// The style of that name, any letter case; nullptr when there is none.
const VisualStyle* FindStyle(std::string_view name);

// Makes the style of that name the program's. An unknown name shows the error box
// "Style '%s' not found" with a Close button and leaves the system's own look.
bool ApplyStyle(std::string_view name);

// The program's style, or the system's own look before one was applied.
const VisualStyle& ActiveStyle();

}  // namespace tandrel::win

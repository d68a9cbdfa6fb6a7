// The box's fonts, the palette its layouts set themselves, and how a text of the
// layouts is drawn: its own font and colour, see-through, one line.
#pragma once

#include "GdiHandles.h"

#include "GdiplusHeaders.h"

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace tandrel::win::look {

inline constexpr COLORREF kListBackground = RGB(0x2D, 0x2F, 0x32);
inline constexpr COLORREF kHighlight = RGB(0xBE, 0x54, 0x06);
inline constexpr COLORREF kServerName = RGB(0xFE, 0xF3, 0xD8);
inline constexpr COLORREF kIntroduction = RGB(0xFF, 0xC1, 0x3D);
inline constexpr COLORREF kOpeningTime = RGB(0xF6, 0x35, 0x15);
inline constexpr COLORREF kHeading = RGB(0x85, 0x76, 0x6C);

Gdiplus::Color Opaque(COLORREF colour);

using Font = win::Font;

// "微软雅黑" where installed, else the first Simplified Chinese face that is;
// pixelSize is the characters' height.
Font YaHei(int pixelSize, bool bold = false);

// One line of text with its left edge at left, centred in a line height high.
void DrawLabel(HDC dc, std::wstring_view text, int left, int top, int height, HFONT font, COLORREF colour);

// Width and height of one line of text in that font.
SIZE TextSize(HFONT font, std::wstring_view text);

}  // namespace tandrel::win::look

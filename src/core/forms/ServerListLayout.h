// Where the server list's rows and the row template's controls lie, in pixels
// at 100 % scale, measured from the list's client area or from a row's corner.
#pragma once

#include <string>

namespace tandrel::forms {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool Contains(Point p) const { return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height; }
  bool operator==(const Rect&) const = default;
};

inline constexpr int kRowHeight = 40;
// The list's 800 pixels take exactly this many rows; more need a scroll bar.
inline constexpr int kPageRows = 20;

// The row template's controls, in drawing order.
enum class RowControl {
  None,
  Image3,              // the row plate
  Label4,              // ServerName
  Label5,              // BriefIntroduction
  Label6,              // BeginTime
  JvGIFAnimator2,      // the badge
  ControlListButton1,  // enter game
  ControlListButton2,  // the web site
};

inline bool IsRowButton(RowControl c) {
  return c == RowControl::ControlListButton1 || c == RowControl::ControlListButton2;
}

namespace row_layout {
inline constexpr Rect kImage3{3, 2, 945, 36};
inline constexpr int kImage3WidthWithScrollBar = 930;
inline constexpr int kLabel4Left = 84, kLabel5Left = 293, kLabel6Left = 690;
inline constexpr int kLabelTop = 11, kLabelHeight = 20;
inline constexpr Rect kJvGIFAnimator2{15, 6, 50, 24};
inline constexpr Rect kControlListButton1{832, 9, 74, 25};
inline constexpr Rect kControlListButton2{232, 10, 74, 25};
}  // namespace row_layout

// How wide a row's text is drawn; the window layer knows its font.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int TextWidth(const std::string& utf8) const = 0;
};

}  // namespace tandrel::forms

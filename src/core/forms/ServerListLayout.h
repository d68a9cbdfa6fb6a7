// Where the server list's rows and the row template's controls lie, in pixels
// measured from the list's client area or from a row's corner: the values here
// are at 100 % scale, and WindowLayout scales them.
#pragma once

#include <string>

namespace tandrel::forms {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool Contains(Point p) const { return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height; }
  bool operator==(const Rect&) const = default;
};

// The list's height takes exactly this many rows at every scale; more need a scroll bar.
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

struct RowLayout {
  int rowHeight = 40;
  Rect Image3{3, 2, 945, 36};  // the plate
  int Image3WidthWithScrollBar = 930;
  int Label4Left = 84, Label5Left = 293, Label6Left = 690;
  int labelTop = 11, labelHeight = 20;
  int labelFont = 15;
  Rect JvGIFAnimator2{15, 6, 50, 24};        // the badge
  Rect ControlListButton1{832, 9, 74, 25};   // enter game
  Rect ControlListButton2{232, 10, 74, 25};  // the web site
  Size webSitePicture{46, 22};               // centred in its button's box
};

// How wide a row's text is drawn; the window layer knows its font.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int TextWidth(const std::string& utf8) const = 0;
};

}  // namespace tandrel::forms

// Where everything of the box's windows lies and how large it is, at 100 % scale
// (96 DPI), and the same scaled for a monitor. The window layers read their
// places, sizes and font heights here and hold no number of their own.
#pragma once

#include "ServerListLayout.h"

namespace tandrel::forms {

// A scale as Windows gives it: dots per inch, 96 being 100 %. Lengths round half
// away from zero, as MulDiv does.
class Scale {
 public:
  static constexpr int kBaseDpi = 96;
  constexpr Scale() = default;
  explicit constexpr Scale(int dpi) : dpi_(dpi < 1 ? kBaseDpi : dpi) {}
  constexpr int Dpi() const { return dpi_; }
  double Factor() const { return static_cast<double>(dpi_) / kBaseDpi; }

  int Of(int length) const;
  Point Of(Point p) const { return {Of(p.x), Of(p.y)}; }
  Size Of(Size s) const { return {Of(s.width), Of(s.height)}; }
  // A rectangle's edges scale, so neighbours stay neighbours.
  Rect Of(const Rect& r) const;

  bool operator==(const Scale&) const = default;

 private:
  int dpi_ = kBaseDpi;
};

// The largest scale up to the monitor's at which a window of base size fits the
// work area; never below 100 %, where the window shows as it is.
Scale FittingScale(Scale monitor, Size base, Size workArea);

// The main window (TMainForm): a borderless 980 x 939 window.
struct MainWindowLayout {
  Size window{980, 939};
  Rect Image1{31, 103, 115, 16};  // refresh
  Rect Image2{85, 17, 800, 70};   // banner
  Rect Image7{956, 8, 16, 16};    // close
  Rect Image8{934, 8, 16, 16};    // minimise
  Rect ControlList1{13, 123, 952, 800};
  Point Label2{854, 100};  // "进入游戏"
  Point Label1{712, 100};  // "新区开区时间"
  int headingHeight = 19;
  int headingFont = 13;  // bold
};

// The download dialog (TDownloadForm): a borderless 423 x 124 window.
struct DownloadDialogLayout {
  Size window{423, 124};
  Rect Image7{399, 8, 16, 16};
  Rect ProgressBar1{32, 66, 345, 17};
  int progressCorner = 3;  // the bar's corners' radius
  int progressInset = 2;   // from the bar's edge to its chunk
  int progressChunkCorner = 2;
  Point Label5{32, 19};   // what is fetched
  Point Label4{300, 38};  // the percentage
  Rect speed{32, 88, 345, 20};
  int labelHeight = 20;
  int labelFont = 15;
  int speedFont = 12;
};

// The program's message boxes: a caption bar, an optional icon, the text and one button.
struct MessageBoxLayout {
  int captionHeight = 30;
  int captionTextLeft = 12;
  int padding = 18;
  int iconSize = 32;
  int iconGap = 14;
  Size button{88, 28};
  int buttonMargin = 14;  // below the button
  int buttonCorner = 4;   // its corners' radius
  int minimumWidth = 300;
  int longestLine = 440;  // text wider than this wraps
  int captionFont = 13;   // bold
  int textFont = 14;
};

// Where a message box's parts lie for a text of the measured size (wrapped at
// longestLine): the icon at the top left of the body, a short text level with
// the icon's middle, the button centred below.
struct MessageBoxPlaces {
  Size window;
  Rect icon;  // empty without an icon
  Rect text;
  Rect button;
};
MessageBoxPlaces PlaceMessageBox(const MessageBoxLayout& layout, Size text, bool withIcon);

// The list's scroll bar.
struct ScrollBarLayout {
  int width = 17;
  int minimumThumb = 28;
  int thumbSideInset = 4;
  int thumbEndInset = 2;
  int thumbCorner = 4;  // its corners' radius
};

// A picture's shift while a button holds it.
inline constexpr int kPressShift = 1;

struct WindowLayout {
  Scale scale;
  MainWindowLayout main;
  DownloadDialogLayout dialog;
  MessageBoxLayout message;
  ScrollBarLayout scrollBar;
  RowLayout rows;
  int pressShift = kPressShift;
};

// Which drawing of the artwork suits a device scale (1.0 at 100 %): the one drawn
// at 1x or the one drawn at 2x, whichever is nearer; the layer resamples it to size.
int ArtworkDensity(double deviceScale);

// Every place and size of the tables above at the scale.
WindowLayout LayoutAt(Scale scale);

}  // namespace tandrel::forms

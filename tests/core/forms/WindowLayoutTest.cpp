// The windows' layout at the common scales, rounded as Windows rounds, and the
// scale a window takes on a monitor too small for it.
#include "core/forms/WindowLayout.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

TEST(Scale, RoundsHalfAwayFromZeroAsMulDivDoes) {
  const struct {
    int dpi, length, scaled;
  } cases[] = {
      {96, 17, 17},     {120, 17, 21},     // 21.25
      {144, 17, 26},                       // 25.5 rounds up
      {144, 13, 20},                       // 19.5
      {192, 939, 1878}, {144, 939, 1409},  // 1408.5
      {120, -3, -4},                       // -3.75
      {144, -1, -2},                       // -1.5 rounds away from zero
      {0, 40, 40},                         // no DPI: 100 %
  };
  for (const auto& c : cases) EXPECT_EQ(Scale(c.dpi).Of(c.length), c.scaled) << c.dpi << " " << c.length;
}

// Neighbours stay neighbours: a rectangle's edges scale, not its size.
TEST(Scale, RectanglesScaleByTheirEdges) {
  const Scale s(144);
  const Rect left{0, 0, 17, 17}, right{17, 0, 17, 17};
  EXPECT_EQ(s.Of(left).left + s.Of(left).width, s.Of(right).left);
  EXPECT_EQ(s.Of(Rect{13, 123, 952, 800}), (Rect{20, 185, 1428, 1200}));
}

TEST(Layout, TheMainWindowAndItsPartsScaleTogether) {
  const WindowLayout at100 = LayoutAt(Scale(96)), at150 = LayoutAt(Scale(144)), at200 = LayoutAt(Scale(192));
  EXPECT_EQ(at100.main.window, (Size{980, 939}));
  EXPECT_EQ(at150.main.window, (Size{1470, 1409}));
  EXPECT_EQ(at200.main.window, (Size{1960, 1878}));
  EXPECT_EQ(at200.main.Image7, (Rect{1912, 16, 32, 32}));
  EXPECT_EQ(at150.main.Label2, (Point{1281, 150}));
  EXPECT_EQ(at150.main.headingFont, 20);
  EXPECT_EQ(at200.dialog.window, (Size{846, 248}));
  EXPECT_EQ(at150.scrollBar.width, 26);
  EXPECT_EQ(at200.message.button, (Size{176, 56}));
  EXPECT_EQ(at200.pressShift, 2);
  // The list keeps its place inside the window at every scale.
  for (const WindowLayout& l : {at100, at150, at200}) {
    EXPECT_LE(l.main.ControlList1.left + l.main.ControlList1.width, l.main.window.width);
    EXPECT_LE(l.main.ControlList1.top + l.main.ControlList1.height, l.main.window.height);
  }
}

TEST(Layout, AMonitorTooSmallGetsTheLargestScaleThatFitsButNeverLessThan100Percent) {
  const Size base{980, 939};
  const struct {
    int monitorDpi;
    Size workArea;
    int dpi;
  } cases[] = {
      {144, {2560, 1600}, 144},                        // fits as it is
      {144, {1920, 1040}, 106},                        // a 1080-line laptop at 150 %: 939 x 106 / 96 = 1037 lines
      {192, {1920, 1040}, 106}, {96, {800, 600}, 96},  // smaller than the window: 100 %, never less
      {120, {1200, 900}, 96},                          // not even 100 % fits: 100 %
      {120, {1280, 1200}, 120},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FittingScale(Scale(c.monitorDpi), base, c.workArea).Dpi(), c.dpi) << c.monitorDpi;
  }
}

TEST(Layout, TheArtworkDrawnNearestTheScreensPixelsIsTaken) {
  const struct {
    double deviceScale;
    int density;
  } cases[] = {{1.0, 1}, {1.25, 1}, {1.49, 1}, {1.5, 2}, {2.0, 2}, {3.0, 2}};
  for (const auto& c : cases) EXPECT_EQ(ArtworkDensity(c.deviceScale), c.density) << c.deviceScale;
}

TEST(Layout, AMessageBoxFitsItsTextAndKeepsItsMinimumWidth) {
  const MessageBoxLayout at100;
  // "系统错误" with the error icon: the minimum width; the line level with the icon's middle.
  const MessageBoxPlaces short_ = PlaceMessageBox(at100, {56, 19}, true);
  EXPECT_EQ(short_.window, (Size{300, 30 + 18 + 32 + 18 + 28 + 14}));
  EXPECT_EQ(short_.icon, (Rect{18, 48, 32, 32}));
  EXPECT_EQ(short_.text, (Rect{18 + 46, 48 + 6, 56, 19}));
  EXPECT_EQ(short_.button, (Rect{106, 140 - 14 - 28, 88, 28}));
  // A long text wrapped in three lines, no icon: the text sets the size.
  const MessageBoxPlaces long_ = PlaceMessageBox(at100, {440, 57}, false);
  EXPECT_EQ(long_.window, (Size{476, 30 + 18 + 57 + 18 + 28 + 14}));
  EXPECT_EQ(long_.icon, Rect{});
  EXPECT_EQ(long_.text, (Rect{18, 48, 440, 57}));
  // At 200 % every part doubles with the measured text.
  const MessageBoxPlaces at200 = PlaceMessageBox(LayoutAt(Scale(192)).message, {112, 38}, true);
  EXPECT_EQ(at200.window, (Size{600, 2 * short_.window.height}));
  EXPECT_EQ(at200.button, (Rect{212, 2 * short_.button.top, 176, 56}));
}

}  // namespace
}  // namespace tandrel::forms

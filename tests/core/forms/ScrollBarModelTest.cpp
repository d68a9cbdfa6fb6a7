// The list's scroll bar: when it shows, where its thumb lies, and what presses,
// drags and leaving do.
#include "core/forms/ScrollBarModel.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

using State = ScrollBarModel::ThumbState;

// A list 952 x 800 with 40 rows of 40 pixels: a page of 800 in 1600.
ScrollBarModel FortyRows(int offset = 0) {
  ScrollBarModel bar;
  bar.Resize({952, 800});
  bar.SetRange(800, 800, offset);
  return bar;
}

TEST(ScrollBarModel, ShowsWhileTheRowsDoNotFitAndThenNarrowsThem) {
  ScrollBarModel bar;
  bar.Resize({952, 800});
  EXPECT_FALSE(bar.Shown());
  EXPECT_EQ(bar.RowsWidth(), 952);
  EXPECT_TRUE(bar.SetRange(40, 800, 0));  // shown now
  EXPECT_EQ(bar.RowsWidth(), 935);
  EXPECT_EQ(bar.Bar(), (Rect{935, 0, 17, 800}));
  EXPECT_FALSE(bar.SetRange(80, 800, 40));  // still shown
  EXPECT_TRUE(bar.SetRange(0, 800, 0));     // hidden
  EXPECT_EQ(bar.RowsWidth(), 952);
  bar.SetLayout(LayoutAt(Scale(144)).scrollBar);
  bar.SetRange(40, 800, 0);
  EXPECT_EQ(bar.RowsWidth(), 952 - 26);
}

TEST(ScrollBarModel, TheThumbIsThePagesShareAtLeastItsMinimum) {
  const struct {
    int maximum, page, offset;
    ScrollBarModel::Thumb thumb;
  } cases[] = {
      {800, 800, 0, {0, 400}},                                       // half the whole
      {800, 800, 800, {400, 400}},                                   // at the end
      {800, 800, 400, {200, 400}},    {99200, 800, 0, {0, 28}},      // 2,500 rows: the minimum
      {99200, 800, 99200, {772, 28}}, {800, 800, 5000, {400, 400}},  // held in the range
  };
  for (const auto& c : cases) {
    ScrollBarModel bar;
    bar.Resize({952, 800});
    bar.SetRange(c.maximum, c.page, c.offset);
    EXPECT_EQ(bar.ThumbNow(), c.thumb) << c.maximum << " " << c.offset;
  }
  ScrollBarModel tiny;
  tiny.Resize({100, 20});  // a track shorter than the minimum thumb
  tiny.SetRange(100, 10, 0);
  EXPECT_EQ(tiny.ThumbNow(), (ScrollBarModel::Thumb{0, 20}));
  EXPECT_EQ(FortyRows().ThumbBox(), (Rect{935 + 4, 2, 17 - 8, 400 - 4}));
}

TEST(ScrollBarModel, TheTrackPagesAndTheThumbDrags) {
  ScrollBarModel bar = FortyRows(0);
  EXPECT_FALSE(bar.Press({500, 100}).taken);  // the rows'
  const auto below = bar.Press({940, 600});   // the track below the thumb
  EXPECT_TRUE(below.taken);
  EXPECT_EQ(below.scrollTo, 800);
  bar.SetRange(800, 800, 800);
  EXPECT_EQ(bar.Press({940, 100}).scrollTo, 0);  // above it

  bar.SetRange(800, 800, 0);
  const auto grab = bar.Press({940, 100});  // on the thumb, 100 into it
  EXPECT_TRUE(grab.taken && grab.repaintBar && !grab.scrollTo);
  EXPECT_EQ(bar.State(), State::Pressed);
  EXPECT_EQ(bar.Move({500, 300}).scrollTo, 400);   // anywhere: thumb top at 200 of 400
  EXPECT_EQ(bar.Move({500, 9000}).scrollTo, 800);  // held in the range
  EXPECT_EQ(bar.Move({500, -900}).scrollTo, 0);
  const auto release = bar.Release({500, 300});  // off the bar
  EXPECT_TRUE(release.taken);
  EXPECT_EQ(bar.State(), State::Normal);
  EXPECT_FALSE(bar.Move({500, 300}).scrollTo);  // no longer held
}

TEST(ScrollBarModel, TheThumbLightsUnderThePointerAndALostMouseEndsADrag) {
  ScrollBarModel bar = FortyRows();
  EXPECT_TRUE(bar.Move({940, 10}).repaintBar);
  EXPECT_EQ(bar.State(), State::Hot);
  EXPECT_FALSE(bar.Move({940, 700}).repaintBar);  // still on the bar
  EXPECT_TRUE(bar.Leave().repaintBar);
  EXPECT_EQ(bar.State(), State::Normal);

  bar.Press({940, 10});
  EXPECT_FALSE(bar.Leave().repaintBar);  // a drag outlives leaving the list
  EXPECT_EQ(bar.State(), State::Pressed);
  EXPECT_TRUE(bar.MouseLost().repaintBar);
  EXPECT_EQ(bar.State(), State::Normal);
  EXPECT_FALSE(bar.Move({500, 300}).scrollTo);
  EXPECT_FALSE(bar.Release({940, 10}).taken);  // the late release is the rows'
}

}  // namespace
}  // namespace tandrel::forms

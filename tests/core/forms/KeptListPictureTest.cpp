// The kept picture of the list: after any change the paint names exactly the rows
// whose pictures differ, and a frame of the badge repaints them with the badges.
#include "ServerListTestSupport.h"

#include "core/forms/KeptListPicture.h"

#include <gtest/gtest.h>

#include <functional>

namespace tandrel::forms {
namespace {

using test::ListOf;

constexpr Rect kWhole{0, 0, 952, 800};
constexpr Point kEnterGameOfRow3{832 + 37, 3 * 40 + 21};
constexpr Point kPlateOfRow5{500, 5 * 40 + 20};

class KeptListPictureTest : public ::testing::Test {
 protected:
  KeptListPictureTest() : model_(screen_, measure_, [this] { return config_.get(); }), picture_(model_) {
    config_ = ListOf(30);
    model_.SetItemCount(30);
    model_.Resize(952 - 17, 800);
  }

  std::vector<int> RowsDrawn(const ListPaint& paint) {
    std::vector<int> rows;
    for (const RowToDraw& row : paint.rows) rows.push_back(row.look.paint.row);
    return rows;
  }

  std::unique_ptr<TConfig> config_;
  test::RecordingScreen screen_;
  test::TenPixelsAByte measure_;
  ServerListModel model_;
  KeptListPicture picture_;
};

TEST_F(KeptListPictureTest, TheFirstPaintDrawsEveryRowOnAClearedPictureAndTheNextNone) {
  const ListPaint first = picture_.Prepare(kWhole);
  EXPECT_TRUE(first.clear);
  ASSERT_EQ(first.rows.size(), 20u);  // not the first of the next page, below the list
  EXPECT_EQ(first.rows[4].look.bound.Label4Caption, "server 4");
  EXPECT_EQ(first.rows[4].rect.top, 160);
  EXPECT_EQ(first.rows[4].rect.width, 952 - 17);
  ASSERT_EQ(first.badges.size(), 20u);
  EXPECT_EQ(first.badges[4].left, 15);
  EXPECT_EQ(first.badges[4].top, 166);

  const ListPaint second = picture_.Prepare(kWhole);
  EXPECT_FALSE(second.clear);
  EXPECT_TRUE(second.rows.empty());
  EXPECT_EQ(second.badges.size(), 20u);
}

struct ChangeCase {
  const char* name;
  std::function<void(ServerListModel&, std::unique_ptr<TConfig>&)> change;
  bool clear;
  std::vector<int> rows;  // redrawn, when not cleared
};

TEST_F(KeptListPictureTest, AChangeRedrawsTheRowsItChangesAndNothingElse) {
  const auto reloadWithRow7Renamed = [](ServerListModel& list, std::unique_ptr<TConfig>& config) {
    config = ListOf(30);
    config->ServerList()[7].ServerName = "renamed";
    list.SetItemCount(30);
  };
  const ChangeCase cases[] = {
      {"nothing", [](auto&, auto&) {}, false, {}},
      {"a reload with the same entries", [](auto& list, auto& c) { c = ListOf(30), list.SetItemCount(30); }, false, {}},
      {"a reload that renames one entry, same count", reloadWithRow7Renamed, false, {7}},
      {"the pointer over a row", [](auto& list, auto&) { list.PointerMove(kPlateOfRow5); }, false, {5}},
      {"the pointer over a row button", [](auto& list, auto&) { list.PointerMove(kEnterGameOfRow3); }, false, {3}},
      {"a press on a row button",
       [](auto& list, auto&) { list.Press(PointerButton::Left, kEnterGameOfRow3); },
       false,
       {3}},
      {"a selection by key", [](auto& list, auto&) { list.Key(ListKey::Home); }, false, {0}},
      {"a scroll", [](auto& list, auto&) { list.ScrollTo(40); }, true, {}},
      {"another row count", [](auto& list, auto& c) { c = ListOf(29), list.SetItemCount(29); }, true, {}},
      {"another size", [](auto& list, auto&) { list.Resize(900, 800); }, true, {}},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    config_ = ListOf(30);
    model_.SetItemCount(30);
    model_.PointerLeave();
    model_.ClearSelection();
    model_.ScrollTo(0);
    model_.Resize(952 - 17, 800);
    picture_.Prepare(kWhole);

    c.change(model_, config_);
    const ListPaint paint = picture_.Prepare(kWhole);
    EXPECT_EQ(paint.clear, c.clear);
    if (c.clear) {
      EXPECT_EQ(paint.rows.size(), paint.badges.size()) << "every row touching the area, drawn afresh";
    } else {
      EXPECT_EQ(RowsDrawn(paint), c.rows);
    }
  }
}

TEST_F(KeptListPictureTest, APaintDrawsOnlyTheRowsThatTouchItsArea) {
  picture_.Forget();
  const ListPaint paint = picture_.Prepare(Rect{0, 85, 952, 40});  // rows 2 and 3
  EXPECT_TRUE(paint.clear);
  EXPECT_EQ(RowsDrawn(paint), (std::vector<int>{2, 3}));
  // The others are drawn once a paint reaches them.
  EXPECT_EQ(picture_.Prepare(kWhole).rows.size(), 18u);
}

TEST_F(KeptListPictureTest, AFrameRepaintsTheBadgesColumnAndEveryRowThatChanged) {
  picture_.Prepare(kWhole);
  const std::vector<Rect> quiet = picture_.FrameArea(true);
  ASSERT_EQ(quiet.size(), 1u);
  EXPECT_EQ(quiet[0].left, 15);
  EXPECT_EQ(quiet[0].width, 50);
  EXPECT_EQ(quiet[0].top, 6);
  EXPECT_EQ(quiet[0].height, 19 * 40 + 30 - 6);

  // A reload that keeps the count marks nothing: the frame shows the new entry.
  config_ = ListOf(30);
  config_->ServerList()[12].BriefIntroduction = "changed";
  model_.SetItemCount(30);
  const std::vector<Rect> frame = picture_.FrameArea(true);
  ASSERT_EQ(frame.size(), 2u);
  EXPECT_EQ(frame[1].top, 12 * 40);
  EXPECT_EQ(frame[1].width, 952 - 17);
  EXPECT_EQ(RowsDrawn(picture_.Prepare(kWhole)), std::vector<int>{12});
  EXPECT_EQ(picture_.FrameArea(true).size(), 1u);
  EXPECT_TRUE(picture_.FrameArea(false).empty()) << "the badge stood still: nothing to repaint";
  model_.PointerMove(kPlateOfRow5);
  ASSERT_EQ(picture_.FrameArea(false).size(), 1u);
  EXPECT_EQ(picture_.FrameArea(false)[0].top, 5 * 40);
}

TEST_F(KeptListPictureTest, ARowThatCannotBeBoundLeavesThePictureAsItWas) {
  picture_.Prepare(kWhole);
  model_.PointerMove(kPlateOfRow5);
  const auto entries = std::move(config_);
  EXPECT_THROW(picture_.Prepare(kWhole), std::out_of_range);
  config_ = ListOf(30);
  EXPECT_EQ(RowsDrawn(picture_.Prepare(kWhole)), std::vector<int>{5});
}

TEST_F(KeptListPictureTest, AnEmptyListHasNoFrame) {
  config_ = ListOf(0);
  model_.SetItemCount(0);
  EXPECT_TRUE(picture_.FrameArea(true).empty());
  const ListPaint paint = picture_.Prepare(kWhole);
  EXPECT_TRUE(paint.clear);
  EXPECT_TRUE(paint.rows.empty());
}

}  // namespace
}  // namespace tandrel::forms

// The plan of each paint of the list: which pieces are copied from the badges'
// column as composed before, which are composed and kept, which only composed;
// and that a change of rows, of size or of scale composes afresh.
#include "ServerListTestSupport.h"

#include "core/forms/ListPaintPlan.h"
#include "core/forms/WindowLayout.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

using Step = ListPaintPlan::Step;

class ListPaintPlanTest : public ::testing::Test {
 protected:
  ListPaintPlanTest()
      : model_(screen_, measure_, [this] { return config_.get(); }), plan_(model_, RowLayout{}.JvGIFAnimator2) {
    config_ = test::ListOf(30);
    model_.SetItemCount(30);
    model_.Resize(952 - 17, 800);
  }

  // The steps of a paint of pieces at a frame, as "copy 0", "keep 1", "compose".
  std::vector<std::string> Steps(const std::vector<Rect>& pieces, std::size_t frame) {
    std::vector<std::string> steps;
    for (const auto& piece : plan_.Prepare(kWhole, pieces, frame).pieces) {
      const std::string place = std::to_string(piece.place);
      steps.push_back(piece.step == Step::CopyComposed     ? "copy " + place
                      : piece.step == Step::ComposeAndKeep ? "keep " + place
                                                           : "compose");
    }
    return steps;
  }

  static constexpr Rect kWhole{0, 0, 935, 800};
  static constexpr Rect kColumnTop{15, 0, 50, 400}, kColumnBottom{15, 400, 50, 400}, kRows{100, 0, 835, 800};
  std::unique_ptr<TConfig> config_;
  test::RecordingScreen screen_;
  test::TenPixelsAByte measure_;
  ServerListModel model_;
  ListPaintPlan plan_;
};

TEST_F(ListPaintPlanTest, ABadgeFramesPiecesAreComposedOnceAndCopiedOnItsNextTurns) {
  EXPECT_TRUE(plan_.Prepare(kWhole, {kWhole}, 0).kept.clear);  // the first paint draws every row
  EXPECT_EQ(Steps({kColumnTop, kColumnBottom}, 1), (std::vector<std::string>{"keep 0", "keep 1"}));
  EXPECT_EQ(Steps({kColumnTop, kColumnBottom}, 2), (std::vector<std::string>{"keep 2", "keep 3"}));
  EXPECT_EQ(Steps({kColumnTop, kColumnBottom}, 1), (std::vector<std::string>{"copy 0", "copy 1"}));
  EXPECT_EQ(Steps({kColumnTop, kRows}, 2), (std::vector<std::string>{"copy 2", "compose"}));  // beyond the column
}

TEST_F(ListPaintPlanTest, ChangedRowsALostPictureOrAnotherScaleComposeAfresh) {
  const std::vector<Rect> column = {kColumnTop};
  plan_.Prepare(kWhole, {kWhole}, 0);
  Steps(column, 1);
  ASSERT_EQ(Steps(column, 1), std::vector<std::string>{"copy 0"});

  model_.PointerMove({500, 2 * 40 + 20});  // a hot row: drawn anew into the kept picture
  const auto hot = plan_.Prepare(kWhole, column, 1);
  EXPECT_EQ(hot.kept.rows.size(), 1u);
  EXPECT_EQ(hot.pieces[0].step, Step::ComposeAndKeep);

  plan_.Forget();  // the window lost its kept picture
  const auto lost = plan_.Prepare(kWhole, column, 1);
  EXPECT_TRUE(lost.kept.clear);
  EXPECT_EQ(lost.pieces[0].step, Step::ComposeAndKeep);

  const WindowLayout at150 = LayoutAt(Scale(144));
  model_.SetLayout(at150.rows);
  plan_.SetBadge(at150.rows.JvGIFAnimator2);
  const auto scaled = plan_.Prepare(kWhole, {Rect{23, 0, 75, 600}, Rect{15, 0, 50, 400}}, 1);
  EXPECT_TRUE(scaled.kept.clear);
  EXPECT_EQ(scaled.kept.badges.front(), (Rect{23, 9, 75, 36}));
  EXPECT_EQ(scaled.pieces[0].step, Step::ComposeAndKeep);
  EXPECT_EQ(scaled.pieces[1].step, Step::Compose);  // 15 is left of the badge's column at 150 %
}

}  // namespace
}  // namespace tandrel::forms

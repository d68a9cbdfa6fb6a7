// The composed badges' column: a piece serves only its own frame and place, and
// only while the kept picture under it stays.
#include "core/forms/ComposedColumn.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

constexpr Rect kColumn{15, 6, 50, 784};
constexpr Rect kUpperColumn{15, 6, 50, 74};

TEST(ComposedColumnTest, APieceServesItsOwnFrameAndPlaceOnly) {
  ComposedColumn column;
  const auto place = column.Keep(3, kColumn);
  ASSERT_TRUE(place.has_value());
  EXPECT_EQ(column.Find(3, kColumn), place);
  EXPECT_EQ(column.Keep(3, kColumn), place);  // kept again in the same place
  EXPECT_FALSE(column.Find(4, kColumn).has_value());
  EXPECT_FALSE(column.Find(3, kUpperColumn).has_value());
  const auto upper = column.Keep(3, kUpperColumn);
  ASSERT_TRUE(upper.has_value());
  EXPECT_NE(upper, place);
  EXPECT_EQ(column.Find(3, kColumn), place);
}

TEST(ComposedColumnTest, OnlyPiecesWithinTheBadgesColumnAreKept) {
  ComposedColumn column;
  EXPECT_FALSE(column.Keep(0, Rect{0, 40, 935, 40}).has_value());  // a row
  EXPECT_FALSE(column.Keep(0, Rect{14, 6, 51, 784}).has_value());  // a pixel left of it
  EXPECT_FALSE(column.Keep(0, Rect{15, 6, 51, 784}).has_value());  // a pixel right of it
  EXPECT_TRUE(column.Keep(0, Rect{20, 100, 10, 10}).has_value());  // within it
  EXPECT_FALSE(column.Find(0, Rect{0, 40, 935, 40}).has_value());
}

TEST(ComposedColumnTest, AnythingDrawnIntoTheKeptPictureLeavesNoPiece) {
  RowToDraw row;
  row.rect = Rect{0, 120, 935, 40};
  const struct {
    const char* name;
    ListPaint paint;
    bool piecesStay;
  } cases[] = {
      {"a frame: badges only", ListPaint{false, {}, {Rect{15, 6, 50, 24}}}, true},
      {"a cleared picture", ListPaint{true, {}, {}}, false},
      {"a row drawn anew", ListPaint{false, {row}, {}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ComposedColumn column;
    column.Keep(7, kColumn);
    column.Saw(c.paint);
    EXPECT_EQ(column.Find(7, kColumn).has_value(), c.piecesStay);
  }
}

TEST(ComposedColumnTest, PiecesThatNeverComeRoundUseNoMoreThanTheirPlaces) {
  ComposedColumn column;
  for (int i = 0; i < 3 * static_cast<int>(ComposedColumn::kMostPieces); ++i) {
    const Rect area{15, i, 50, 24};
    const auto place = column.Keep(0, area);
    ASSERT_TRUE(place.has_value());
    EXPECT_LT(*place, ComposedColumn::kMostPieces);
    EXPECT_EQ(column.Find(0, area), place);
  }
}

}  // namespace
}  // namespace tandrel::forms

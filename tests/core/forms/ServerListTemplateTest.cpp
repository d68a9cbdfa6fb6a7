// Binding the row template to a row and finding its controls at a point.
#include "ServerListTestSupport.h"

#include "core/forms/ServerListTemplate.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tandrel::forms {
namespace {

using test::ListOf;

TEST(ServerListTemplate, BindingReadsTheEntryAndHandsItsIndexToBothButtons) {
  auto config = ListOf(5);
  ServerListTemplate row([&] { return config.get(); });
  const BoundRow& bound = row.ControlList1BeforeDrawItem(3);
  EXPECT_EQ(bound.Label4Caption, "server 3");
  EXPECT_EQ(bound.Label5Caption, "intro 3");
  EXPECT_EQ(bound.Label6Caption, "12-31 11:00");
  EXPECT_EQ(row.ControlListButton1().Tag, 3);
  EXPECT_EQ(row.ControlListButton2().Tag, 3);
  row.ControlList1BeforeDrawItem(1);
  EXPECT_EQ(row.ControlListButton1().Tag, 1);
  EXPECT_EQ(row.ControlListButton2().Tag, 1);
  EXPECT_EQ(row.Bound().Label4Caption, "server 1");

  // Read afresh: a new list shows at the next binding.
  config = ListOf(2);
  EXPECT_EQ(row.ControlList1BeforeDrawItem(1).Label5Caption, "intro 1");
}

TEST(ServerListTemplate, ThePlateIsNarrowerWhenTheEntriesNeedAScrollBar) {
  const struct {
    int entries;
    int plateWidth;
  } cases[] = {{1, 945}, {20, 945}, {21, 930}, {100, 930}};
  for (const auto& c : cases) {
    auto config = ListOf(c.entries);
    ServerListTemplate row([&] { return config.get(); });
    EXPECT_EQ(row.ControlList1BeforeDrawItem(0).Image3Width, c.plateWidth) << c.entries << " entries";
  }
}

TEST(ServerListTemplate, BindingARowBeyondTheEntriesIsAFailure) {
  auto config = ListOf(3);
  ServerListTemplate row([&] { return config.get(); });
  for (int index : {3, 4, -1}) {
    try {
      row.ControlList1BeforeDrawItem(index);
      ADD_FAILURE() << "row " << index << " was bound";
    } catch (const std::out_of_range& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Argument out of range", 0), 0u) << e.what();
    }
  }
  config.reset();  // no list at all
  EXPECT_THROW(row.ControlList1BeforeDrawItem(0), std::out_of_range);
}

TEST(ServerListTemplate, FindsTheTopmostControlAtAPoint) {
  auto config = ListOf(30);  // plate 930 wide
  ServerListTemplate row([&] { return config.get(); });
  row.ControlList1BeforeDrawItem(7);  // "server 7" 80 wide, "intro 7" 70, "12-31 11:00" 110
  const test::TenPixelsAByte measure;
  const struct {
    Point at;
    RowControl expected;
  } cases[] = {
      {{832, 9}, RowControl::ControlListButton1},  // the enter-game box's corners
      {{905, 33}, RowControl::ControlListButton1},
      {{906, 20}, RowControl::Image3},
      {{832, 34}, RowControl::Image3},
      {{234, 11}, RowControl::ControlListButton2},  // the whole box, beyond the smaller picture
      {{305, 34}, RowControl::ControlListButton2},  // over the introduction's start too
      {{15, 6}, RowControl::JvGIFAnimator2},
      {{64, 29}, RowControl::JvGIFAnimator2},
      {{84, 11}, RowControl::Label4},
      {{163, 30}, RowControl::Label4},
      {{164, 20}, RowControl::Image3},  // past the name's width
      {{306, 20}, RowControl::Label5},
      {{362, 20}, RowControl::Label5},
      {{363, 20}, RowControl::Image3},
      {{690, 20}, RowControl::Label6},
      {{799, 20}, RowControl::Label6},
      {{3, 2}, RowControl::Image3},
      {{932, 37}, RowControl::Image3},
      {{933, 20}, RowControl::None},  // right of a 930 plate
      {{2, 20}, RowControl::None},    // the highlight's frame
      {{500, 1}, RowControl::None},
      {{500, 38}, RowControl::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(row.ControlAt(c.at, measure), c.expected) << c.at.x << ", " << c.at.y;
  }

  config = ListOf(20);
  row.ControlList1BeforeDrawItem(0);
  EXPECT_EQ(row.ControlAt({940, 20}, measure), RowControl::Image3);  // a 945 plate
  EXPECT_EQ(row.ControlAt({948, 20}, measure), RowControl::None);
}

}  // namespace
}  // namespace tandrel::forms

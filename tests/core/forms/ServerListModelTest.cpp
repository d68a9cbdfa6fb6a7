// The server list's behaviour as tables of events and the states they leave:
// selection, hot tracking, presses and clicks, keys, the wheel, the scroll range,
// what is painted in which order, and what must be repainted.
#include "ServerListTestSupport.h"

#include "core/forms/ServerListModel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tandrel::forms {
namespace {

using test::ListOf;

constexpr int kListHeight = 800;

// Points on row r's controls, in the client area with the list not scrolled.
std::string EnterGame(int r) { return std::to_string(832 + 37) + " " + std::to_string(r * 40 + 9 + 12); }
std::string WebSite(int r) { return std::to_string(232 + 37) + " " + std::to_string(r * 40 + 10 + 12); }
std::string Plate(int r) { return "500 " + std::to_string(r * 40 + 20); }

class ServerListModelTest : public ::testing::Test {
 protected:
  ServerListModelTest() : model_(screen_, measure_, [this] { return config_.get(); }) {}

  // A list of n entries in a client area as wide as the window leaves it.
  void Load(int rows) {
    config_ = ListOf(rows);
    model_.SetItemCount(static_cast<std::size_t>(rows));
    model_.Resize(rows > kPageRows ? 952 - 17 : 952, kListHeight);  // the scroll bar shows or goes
  }

  // Runs events separated by ";": "move X Y", "leave", "press X Y", "release X Y",
  // "right-press X Y", "middle-release X Y", "click X Y" (press and release),
  // "wheel D", "key NAME", "count N", "clear", "scroll OFFSET", "paint", and
  // "bind ROW" (as a window's paint that binds a row).
  void Run(const std::string& script) {
    std::istringstream events(script);
    std::string event;
    while (std::getline(events, event, ';')) {
      std::istringstream words(event);
      std::string verb;
      words >> verb;
      Point p;
      int n = 0;
      if (verb == "move" && words >> p.x >> p.y) model_.PointerMove(p);
      else if (verb == "leave") model_.PointerLeave();
      else if (verb == "press" && words >> p.x >> p.y) model_.Press(PointerButton::Left, p);
      else if (verb == "release" && words >> p.x >> p.y) model_.Release(PointerButton::Left, p);
      else if (verb == "click" && words >> p.x >> p.y) {
        model_.PointerMove(p);
        model_.Press(PointerButton::Left, p);
        model_.Release(PointerButton::Left, p);
      } else if (verb == "right-press" && words >> p.x >> p.y) model_.Press(PointerButton::Right, p);
      else if (verb == "right-release" && words >> p.x >> p.y) model_.Release(PointerButton::Right, p);
      else if (verb == "middle-press" && words >> p.x >> p.y) model_.Press(PointerButton::Middle, p);
      else if (verb == "middle-release" && words >> p.x >> p.y) model_.Release(PointerButton::Middle, p);
      else if (verb == "wheel" && words >> n) model_.Wheel(n);
      else if (verb == "key") model_.Key(KeyNamed(words));
      else if (verb == "count" && words >> n) {
        config_ = ListOf(n);
        model_.SetItemCount(static_cast<std::size_t>(n));
      } else if (verb == "clear") model_.ClearSelection();
      else if (verb == "scroll" && words >> n) model_.ScrollTo(n);
      else if (verb == "paint") Paint();
      else if (verb == "bind" && words >> n) model_.Template().ControlList1BeforeDrawItem(n);
      else FAIL() << "unknown event: " << event;
    }
  }

  static ListKey KeyNamed(std::istream& words) {
    std::string name;
    words >> name;
    const std::pair<const char*, ListKey> keys[] = {{"Up", ListKey::Up},         {"Down", ListKey::Down},
                                                    {"Left", ListKey::Left},     {"Right", ListKey::Right},
                                                    {"PageUp", ListKey::PageUp}, {"PageDown", ListKey::PageDown},
                                                    {"Home", ListKey::Home},     {"End", ListKey::End}};
    for (const auto& [text, key] : keys) {
      if (name == text) return key;
    }
    ADD_FAILURE() << "unknown key " << name;
    return ListKey::Home;
  }

  // What a window does on a whole-list repaint: binds every row before drawing it.
  void Paint() {
    for (const RowPaint& row : model_.PaintOrder()) model_.Template().ControlList1BeforeDrawItem(row.row);
  }

  std::unique_ptr<TConfig> config_;
  test::RecordingScreen screen_;
  test::TenPixelsAByte measure_;
  ServerListModel model_;
};

struct ClickCase {
  const char* name;
  int rows;
  std::string events;
  std::vector<std::string> clicks;
  int selected;
};

TEST_F(ServerListModelTest, AClickOnlyWhenReleasedOnThePressedRowsButton) {
  const ClickCase cases[] = {
      {"enter game", 10, "click " + EnterGame(6), {"ControlListButton1 6"}, 6},
      {"another row selected before",
       10,
       "click " + EnterGame(6) + "; click " + EnterGame(3),
       {"ControlListButton1 6", "ControlListButton1 3"},
       3},
      {"the web site", 10, "click " + WebSite(8), {"ControlListButton2 8"}, 8},
      {"the web-site button's whole box", 10, "click 234 211", {"ControlListButton2 5"}, 5},
      {"after a repaint bound another row",
       10,
       "move " + EnterGame(2) + "; press " + EnterGame(2) + "; paint; bind 7; release " + EnterGame(2),
       {"ControlListButton1 2"},
       2},
      {"released over another row: only selects",
       10,
       "move " + EnterGame(3) + "; press " + EnterGame(3) + "; move " + EnterGame(5) + "; release " + EnterGame(5),
       {},
       3},
      {"released on the other button of the row",
       10,
       "press " + EnterGame(4) + "; release " + WebSite(4),
       {"ControlListButton2 4"},
       4},
      {"released off the button within the row", 10, "press " + EnterGame(4) + "; release " + Plate(4), {}, 4},
      {"the plate only selects", 10, "click " + Plate(4), {}, 4},
      {"a text only selects", 10, "click 90 " + std::to_string(4 * 40 + 20), {}, 4},
      {"a double click clicks twice",
       10,
       "press " + EnterGame(1) + "; release " + EnterGame(1) + "; press " + EnterGame(1) + "; release " + EnterGame(1),
       {"ControlListButton1 1", "ControlListButton1 1"},
       1},
      {"below the last row", 3, "click " + EnterGame(5), {}, -1},
      {"right and middle buttons do nothing",
       10,
       "right-press " + EnterGame(2) + "; right-release " + EnterGame(2) + "; middle-press " + EnterGame(2) +
           "; middle-release " + EnterGame(2),
       {},
       -1},
      {"a release with nothing pressed", 10, "release " + EnterGame(2), {}, -1},
      {"a count change drops the pressed row",
       10,
       "press " + EnterGame(2) + "; count 12; release " + EnterGame(2),
       {},
       2},
      {"no key presses a row button", 10, "move " + EnterGame(2) + "; key Home; key Down; key End", {}, 9},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    screen_.clicks.clear();
    Load(0);
    Load(c.rows);
    Run("leave");
    Run(c.events);
    EXPECT_EQ(screen_.clicks, c.clicks);
    EXPECT_EQ(model_.SelectedRow(), c.selected);
    EXPECT_EQ(model_.PressedRow(), -1);
    EXPECT_EQ(model_.HeldButton(), RowControl::None);
  }
}

TEST_F(ServerListModelTest, APressedPartlyVisibleRowScrollsIntoViewBeforeTheRelease) {
  Load(30);
  Run("scroll 20");                // row 0 shows its lower half only
  Run("move 869 4; press 869 4");  // on row 0's button, 24 below the row's top
  EXPECT_EQ(model_.SelectedRow(), 0);
  EXPECT_EQ(model_.PressedRow(), 0);
  EXPECT_EQ(model_.ScrollOffset(), 0);  // fully in view; the release is measured there
  Run("release 869 4");
  EXPECT_TRUE(screen_.clicks.empty());  // 4 below the row's top is above its button
  Run("click 869 20");                  // pressed where it stays: a click
  EXPECT_EQ(screen_.clicks, std::vector<std::string>{"ControlListButton1 0"});
}

TEST_F(ServerListModelTest, APressTakesTheFocusFirstAndIsIgnoredWithoutIt) {
  Load(10);
  screen_.canFocus = false;
  Run("click " + EnterGame(3));
  EXPECT_EQ(model_.SelectedRow(), -1);
  EXPECT_TRUE(screen_.clicks.empty());
  screen_.canFocus = true;
  Run("click " + EnterGame(3));
  EXPECT_TRUE(screen_.focused);
  EXPECT_EQ(screen_.clicks, std::vector<std::string>{"ControlListButton1 3"});
}

TEST_F(ServerListModelTest, TheReleaseRebindsTheHotRowSoTheTagHoldsTheClickedRow) {
  Load(10);
  Run("move " + EnterGame(4) + "; press " + EnterGame(4) + "; paint; bind 9");
  EXPECT_EQ(model_.Template().ControlListButton1().Tag, 9);  // another row was bound last
  screen_.log.clear();
  Run("release " + EnterGame(4));
  EXPECT_EQ(screen_.log, std::vector<std::string>{"row 4"});  // the hot row, updated at once
  EXPECT_EQ(model_.Template().ControlListButton1().Tag, 4);
  EXPECT_EQ(model_.Template().ControlListButton2().Tag, 4);
  EXPECT_EQ(screen_.clicks, std::vector<std::string>{"ControlListButton1 4"});

  // A screen that paints more than the row at once (binding others) does not move the Tag.
  screen_.onRepaintRow = [this](int) {
    Paint();
    model_.Template().ControlList1BeforeDrawItem(9);
  };
  Run("click " + WebSite(6));
  EXPECT_EQ(screen_.clicks, (std::vector<std::string>{"ControlListButton1 4", "ControlListButton2 6"}));
}

struct RepaintCase {
  const char* name;
  std::string before;
  std::string events;
  std::vector<std::string> repaints;
  int hot;
};

TEST_F(ServerListModelTest, RepaintsTheWholeListOrOneRowAfterEachEvent) {
  const RepaintCase cases[] = {
      {"onto a row", "", "move " + Plate(2), {"list"}, 2},
      {"along the same row", "move " + Plate(2), "move 600 90", {}, 2},
      {"onto a button in the hot row", "move " + Plate(2), "move " + EnterGame(2), {"row 2"}, 2},
      {"off a button in the hot row", "move " + EnterGame(2), "move " + Plate(2), {"row 2"}, 2},
      {"from a button to the other", "move " + EnterGame(2), "move " + WebSite(2), {"row 2"}, 2},
      {"below the last row", "move " + Plate(2), "move " + Plate(6), {"list"}, -1},
      {"out of the list", "move " + Plate(2), "leave", {"list"}, -1},
      {"press on a row not selected", "move " + Plate(2), "press " + Plate(2), {"list"}, 2},
      {"press on the selected row", "click " + Plate(2), "press " + Plate(2), {"row 2"}, 2},
      {"press on a button of the selected row",
       "click " + Plate(2) + "; move " + EnterGame(2),
       "press " + EnterGame(2),
       {"row 2"},
       2},
      {"release of a held button",
       "move " + EnterGame(2) + "; press " + EnterGame(2),
       "release " + EnterGame(2),
       {"row 2"},
       2},
      {"release of the plate", "move " + Plate(2) + "; press " + Plate(2), "release " + Plate(2), {}, 2},
      {"a key", "", "key Down", {"list"}, -1},
      {"clearing the selection", "key Down", "clear", {"list"}, -1},
      {"clearing no selection", "", "clear", {}, -1},
      {"the same count", "", "count 5", {}, -1},
      {"a new count", "move " + Plate(4), "count 3", {"list"}, -1},
  };
  for (const RepaintCase& c : cases) {
    SCOPED_TRACE(c.name);
    Load(0);
    Load(5);
    Run("leave");
    if (!c.before.empty()) Run(c.before);
    screen_.log.clear();
    Run(c.events);
    EXPECT_EQ(screen_.log, c.repaints);
    EXPECT_EQ(model_.HotRow(), c.hot);
  }
}

TEST_F(ServerListModelTest, OnlyTheHotRowShowsAButtonsHotOrPressedLook) {
  Load(5);
  const auto looks = [&] {
    std::string text;
    for (int row = 0; row < 5; ++row) {
      const RowPaint paint = model_.PaintOf(row);
      text += std::to_string(static_cast<int>(paint.ControlListButton1)) +
              std::to_string(static_cast<int>(paint.ControlListButton2)) + " ";
    }
    return text;
  };
  EXPECT_EQ(looks(), "00 00 00 00 00 ");
  Run("move " + EnterGame(1));
  EXPECT_EQ(looks(), "00 20 00 00 00 ");  // hot
  Run("press " + EnterGame(1));
  EXPECT_EQ(looks(), "00 10 00 00 00 ");  // pressed while held on it
  Run("move " + Plate(1));
  EXPECT_EQ(looks(), "00 00 00 00 00 ");  // held, but the pointer is off it
  Run("move " + EnterGame(1));
  EXPECT_EQ(looks(), "00 10 00 00 00 ");  // back on it
  Run("release " + EnterGame(1));
  EXPECT_EQ(looks(), "00 20 00 00 00 ");
  Run("move " + WebSite(3));
  EXPECT_EQ(looks(), "00 00 00 02 00 ");
  Run("press " + WebSite(3) + "; move " + EnterGame(3));
  EXPECT_EQ(looks(), "00 00 00 20 00 ");  // the other button is held: this one only hot
  Run("release " + EnterGame(3));
  Run("leave; press " + EnterGame(2));  // a press where no move was seen before
  EXPECT_EQ(looks(), "00 00 10 00 00 ");
  Run("release " + EnterGame(2));
}

TEST_F(ServerListModelTest, PaintsTheVisibleRowsWithTheSelectedRowLast) {
  const auto order = [&] {
    std::vector<int> rows;
    for (const RowPaint& row : model_.PaintOrder()) rows.push_back(row.row);
    return rows;
  };
  Load(0);
  EXPECT_TRUE(order().empty());
  Load(3);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 2}));
  Run("key Home");  // the selected row is the first: painted last
  EXPECT_EQ(order(), (std::vector<int>{1, 2, 0}));
  Run("key End");  // the last one painted anyway
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 2}));

  Load(30);
  Run("key Home; key Down; key Down; key Down; key Down; key Down");  // row 5
  std::vector<int> expected;
  for (int row = 0; row <= 20; ++row) {
    if (row != 5) expected.push_back(row);
  }
  expected.push_back(5);
  EXPECT_EQ(order(), expected);  // from the first visible row to the one 20 further on

  Run("scroll 100");  // row 2 is partly visible, 22 reaches below the list
  expected.clear();
  for (int row = 2; row <= 22; ++row) {
    if (row != 5) expected.push_back(row);
  }
  expected.push_back(5);
  EXPECT_EQ(order(), expected);
  EXPECT_EQ(model_.PaintOrder().front().top, 2 * 40 - 100);

  Run("key End; scroll 0");  // the selected row beyond the rows painted is not painted
  ASSERT_EQ(order().size(), 21u);
  EXPECT_EQ(order().back(), 20);
}

TEST_F(ServerListModelTest, HighlightsTheHotAndTheSelectedRow) {
  Load(5);
  Run("key Down; key Down; move " + Plate(3));
  const std::vector<RowPaint> rows = model_.PaintOrder();
  ASSERT_EQ(rows.size(), 5u);
  std::string highlighted;
  for (const RowPaint& row : rows) highlighted += std::to_string(row.row) + (row.highlighted ? "+ " : "- ");
  EXPECT_EQ(highlighted, "0- 2- 3+ 4- 1+ ");
}

struct ScrollCase {
  const char* name;
  int rows;
  std::string events;
  int offset;
  int selected;
};

TEST_F(ServerListModelTest, WheelAndKeysMoveByRowsWithinTheRange) {
  const int max30 = 30 * 40 - kListHeight;
  const ScrollCase cases[] = {
      {"one row per wheel message, whatever its distance", 30, "wheel -360", 40, -1},
      {"also the smallest distance", 30, "wheel -360; wheel -1", 80, -1},
      {"held within the range", 30, "scroll 360; wheel -120; wheel -120; wheel -120", max30, -1},
      {"and back up", 30, "scroll 360; wheel -120; wheel -120; wheel 120", max30 - 40, -1},
      {"not above the top", 30, "wheel 120", 0, -1},
      {"no distance, no scroll", 30, "wheel 0", 0, -1},
      {"all rows fit", 20, "wheel -120", 0, -1},
      {"a key without a selection selects the first row", 30, "scroll 360; key Up", 0, 0},
      {"Down without a selection too", 30, "key Down", 0, 0},
      {"PageDown without a selection too", 30, "key PageDown", 0, 0},
      {"End without a selection selects the last", 30, "key End", max30, 29},
      {"Up stops at the first row", 30, "key Home; key Up; key Left", 0, 0},
      {"Down and Right", 30, "key Home; key Down; key Right", 0, 2},
      {"PageDown by 20, scrolled into view", 30, "key Home; key PageDown", 21 * 40 - kListHeight, 20},
      {"PageDown stops at the last row", 30, "key Home; key PageDown; key PageDown", max30, 29},
      {"Down stops at the last row", 30, "key End; key Down; key Right", max30, 29},
      {"PageUp by 20, scrolled into view", 30, "key End; key PageUp", 9 * 40, 9},
      {"PageUp stops at the first row", 30, "key End; key PageUp; key PageUp", 0, 0},
      {"Home", 30, "key End; key Home", 0, 0},
      {"End after a cleared selection", 30, "key Home; clear; key End", max30, 29},
      {"keys on an empty list", 0, "key Down; key End", 0, -1},
      {"a selection already in view keeps the offset", 30, "scroll 100; click 500 400; key Down", 100, 13},
      {"a pressed row partly below the view scrolls into it", 30, "scroll 20; click 500 790", 21 * 40 - kListHeight,
       20},
  };
  for (const ScrollCase& c : cases) {
    SCOPED_TRACE(c.name);
    Load(0);
    Load(c.rows);
    Run(c.events);
    EXPECT_EQ(model_.ScrollOffset(), c.offset);
    EXPECT_EQ(model_.SelectedRow(), c.selected);
    EXPECT_EQ(screen_.scrollOffset, c.offset);  // the scroll bar follows
  }
}

TEST_F(ServerListModelTest, ANewRowCountKeepsOrClampsTheScrollOffset) {
  const struct {
    int rows;
    int offset;
    int maximum;
  } steps[] = {{30, 400, 400}, {25, 200, 200}, {26, 200, 240}, {20, 0, 0}, {30, 0, 400}};
  Load(30);
  Run("scroll 400");
  for (const auto& step : steps) {
    SCOPED_TRACE(step.rows);
    Run("count " + std::to_string(step.rows));
    EXPECT_EQ(model_.ScrollOffset(), step.offset);
    EXPECT_EQ(model_.ScrollMaximum(), step.maximum);
    EXPECT_EQ(screen_.scrollMaximum, step.maximum);
    EXPECT_EQ(screen_.scrollPage, kListHeight);
  }
}

TEST_F(ServerListModelTest, ANewRowCountDropsASelectionBeyondIt) {
  Load(30);
  Run("key End; count 29");
  EXPECT_EQ(model_.SelectedRow(), -1);
  Run("key Home; key Down; count 10");
  EXPECT_EQ(model_.SelectedRow(), 1);
  Run("count 10");  // the same count: the selection stays
  EXPECT_EQ(model_.SelectedRow(), 1);
}

TEST_F(ServerListModelTest, TheHotRowFollowsScrollsResizesAndCounts) {
  Load(30);
  Run("move 400 20");
  EXPECT_EQ(model_.HotRow(), 0);
  Run("wheel -120");
  EXPECT_EQ(model_.HotRow(), 1);
  Run("count 1");  // all fits: back to the top, the pointer over row 0
  EXPECT_EQ(model_.HotRow(), 0);
  Run("move 400 60");
  EXPECT_EQ(model_.HotRow(), -1);
  Run("count 3");
  EXPECT_EQ(model_.HotRow(), 1);
  model_.Resize(300, kListHeight);  // the pointer now right of the rows
  EXPECT_EQ(model_.HotRow(), -1);
  Run("leave; count 5");
  EXPECT_EQ(model_.HotRow(), -1);
}

TEST_F(ServerListModelTest, PointsOutsideTheRowsHitNoRow) {
  Load(3);
  for (const char* point : {"-1 20", "400 -1", "952 20", "951 120"}) {
    SCOPED_TRACE(point);
    Run(std::string("leave; move ") + point);
    EXPECT_EQ(model_.HotRow(), -1);
  }
  Run("move 951 119");
  EXPECT_EQ(model_.HotRow(), 2);
}

}  // namespace
}  // namespace tandrel::forms

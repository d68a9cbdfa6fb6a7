// The server list's Qt window: what the pictures show, and real input reaching
// the list's logic (whose rules have tests of their own, without a display).
#include "ui/Look.h"
#include "ui/ServerListView.h"

#include "support/UiSupport.h"

#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace tandrel::ui {
namespace {

std::unique_ptr<TConfig> ListOf(int servers) {
  std::string text = R"({"ServerList":{"FListHelper":[)";
  for (int i = 0; i < servers; ++i) {
    text +=
        std::string(i ? "," : "") + R"({"ServerName":"服务器)" + std::to_string(i) + R"(","BriefIntroduction":"介绍"})";
  }
  return std::make_unique<TConfig>(text + "]}}");
}

class ServerListViewTest : public ::testing::Test {
 protected:
  ServerListViewTest()
      : view_(
            art_, forms::LayoutAt(forms::Scale()), [this] { return config_.get(); }, nullptr) {
    view_.resize(952, 800);
    view_.show();
    QObject::connect(&view_, &ServerListView::enterGameClicked, [this](int row) { enterGame_.push_back(row); });
    QObject::connect(&view_, &ServerListView::webSiteClicked, [this](int row) { webSite_.push_back(row); });
  }
  void Load(int servers) {
    config_ = ListOf(servers);
    view_.SetRowCount(static_cast<std::size_t>(servers));
    QApplication::processEvents();
  }
  QPoint EnterGame(int row) { return {832 + 37, row * 40 - Model().ScrollOffset() + 9 + 12}; }
  QPoint WebSite(int row) { return {232 + 37, row * 40 - Model().ScrollOffset() + 10 + 12}; }
  forms::ServerListModel& Model() { return view_.Model(); }
  QWidget* Viewport() { return &view_; }
  QImage Picture() { return view_.grab().toImage(); }
  // What the screen shows of the list, without painting it.
  QImage OnScreen() {
    const QRect area = view_.rect();
    return view_.screen()->grabWindow(view_.winId(), area.x(), area.y(), area.width(), area.height()).toImage();
  }
  void Click(QPoint press, QPoint release) {
    QTest::mouseMove(Viewport(), press);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, press);
    view_.RepaintNow();  // the repaint binds other rows after the pressed one
    QTest::mouseMove(Viewport(), release);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, release);
  }

  Artwork art_;
  std::unique_ptr<TConfig> config_;
  ServerListView view_;
  std::vector<int> enterGame_, webSite_;
};

TEST_F(ServerListViewTest, AClickOnARowButtonDeliversThatRow) {
  Load(10);
  Click(EnterGame(6), EnterGame(6));  // selects 6 as well
  Click(EnterGame(3), EnterGame(3));  // another row was selected before
  Click(WebSite(8), WebSite(8));
  EXPECT_EQ(enterGame_, (std::vector<int>{6, 3}));
  EXPECT_EQ(webSite_, std::vector<int>{8});
  EXPECT_EQ(Model().SelectedRow(), 8);

  Click(EnterGame(4), EnterGame(5));  // released over another row
  EXPECT_EQ(enterGame_, (std::vector<int>{6, 3}));
  EXPECT_EQ(Model().SelectedRow(), 4);
}

TEST_F(ServerListViewTest, ADoubleClickOnARowButtonClicksTwice) {
  Load(10);
  const QPoint button = EnterGame(2);
  QTest::mouseMove(Viewport(), button);
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, button);
  // The second press arrives as a double click.
  QMouseEvent second(QEvent::MouseButtonDblClick, button, Viewport()->mapToGlobal(button), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Viewport(), &second);
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, button);
  EXPECT_EQ(enterGame_, (std::vector<int>{2, 2}));
}

TEST_F(ServerListViewTest, TheScrollBarAndTheListMoveTogether) {
  Load(30);
  Model().ScrollTo(20);  // row 0 shows its lower half only
  EXPECT_EQ(Model().ScrollOffset(), 20);
  const QPoint point(832 + 37, 4);  // on row 0's button, 24 below the row's top
  QTest::mouseMove(Viewport(), point);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, point);
  EXPECT_EQ(Model().ScrollOffset(), 0);  // scrolled fully into view by the press
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, point);
  EXPECT_TRUE(enterGame_.empty());  // measured where the row is now: above its button
  EXPECT_EQ(Model().ScrollMaximum(), 30 * 40 - 800);
  EXPECT_EQ(view_.ScrollBar().ThumbNow().length, 800 * 800 / (30 * 40));  // the page's share

  // The thumb dragged half its room down: half the range.
  const int room = 800 - view_.ScrollBar().ThumbNow().length;
  const QPoint thumb(952 - 8, 10);
  QTest::mouseMove(Viewport(), thumb);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, thumb);
  QTest::mouseMove(Viewport(), thumb + QPoint(0, room / 2));
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, thumb + QPoint(0, room / 2));
  EXPECT_NEAR(Model().ScrollOffset(), (30 * 40 - 800) / 2, 2);
  EXPECT_TRUE(enterGame_.empty());

  QTest::keyClick(&view_, Qt::Key_End);
  EXPECT_EQ(Model().ScrollOffset(), 30 * 40 - 800);
  config_ = ListOf(25);
  view_.SetRowCount(25);
  EXPECT_EQ(Model().ScrollMaximum(), 25 * 40 - 800);
  EXPECT_EQ(Model().ScrollOffset(), 25 * 40 - 800);
}

TEST_F(ServerListViewTest, ShowsAScrollBarOnlyPastTwentyRows) {
  Load(20);
  EXPECT_FALSE(view_.ScrollBar().Shown());
  EXPECT_EQ(Model().ClientRect().width, 952);
  QTest::keyClick(&view_, Qt::Key_Home);  // select row 0
  QImage shot = Picture();
  EXPECT_EQ(shot.pixelColor(948, 20), look::kHighlight);  // the frame right of a 945 plate
  EXPECT_NE(shot.pixelColor(940, 20), look::kHighlight);

  Load(21);
  EXPECT_TRUE(view_.ScrollBar().Shown());
  EXPECT_EQ(Model().ClientRect().width, 952 - 17);
  QTest::keyClick(&view_, Qt::Key_Home);
  shot = Picture();
  EXPECT_EQ(shot.pixelColor(933, 20), look::kHighlight);  // the frame right of a 930 plate
  EXPECT_NE(shot.pixelColor(930, 20), look::kHighlight);
}

TEST_F(ServerListViewTest, DrawsTheHighlightAsAFrameAndNothingBelowTheLastRow) {
  Load(3);
  QTest::keyClick(&view_, Qt::Key_End);
  const QImage shot = Picture();
  EXPECT_EQ(shot.pixelColor(1, 2 * 40 + 20), look::kHighlight);    // 3 wide on the left
  EXPECT_EQ(shot.pixelColor(100, 2 * 40 + 1), look::kHighlight);   // 2 at the top
  EXPECT_NE(shot.pixelColor(100, 2 * 40 + 20), look::kHighlight);  // the plate covers the middle
  EXPECT_NE(shot.pixelColor(1, 1 * 40 + 20), look::kHighlight);    // other rows: no frame
  EXPECT_EQ(shot.pixelColor(500, 3 * 40 + 5), look::kListBackground);
  EXPECT_EQ(shot.pixelColor(500, 799), look::kListBackground);

  Load(0);
  EXPECT_EQ(Picture().pixelColor(500, 20), look::kListBackground);
}

TEST_F(ServerListViewTest, FollowsThePointerWithTheHotRow) {
  Load(5);
  QTest::mouseMove(Viewport(), {400, 2 * 40 + 20});
  EXPECT_EQ(Model().HotRow(), 2);
  EXPECT_EQ(Picture().pixelColor(1, 2 * 40 + 20), look::kHighlight);
  QTest::mouseMove(Viewport(), {400, 6 * 40 + 20});  // below the last row
  EXPECT_EQ(Model().HotRow(), -1);
  QTest::mouseMove(Viewport(), {400, 1 * 40 + 20});
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(Viewport(), &leave);
  EXPECT_EQ(Model().HotRow(), -1);
  EXPECT_NE(Picture().pixelColor(1, 1 * 40 + 20), look::kHighlight);
}

TEST_F(ServerListViewTest, OnlyTheButtonUnderThePointerLooksHot) {
  Load(3);
  const auto button = [&](int row) { return Picture().copy(832, row * 40 + 9, 74, 25); };
  const QImage normal = button(2);
  EXPECT_EQ(button(0), normal);
  QTest::mouseMove(Viewport(), EnterGame(0));
  EXPECT_NE(button(0), normal);
  EXPECT_EQ(button(1), normal);
  EXPECT_EQ(button(2), normal);
}

TEST_F(ServerListViewTest, WheelMessagesAndKeysReachTheList) {
  Load(30);
  const auto wheel = [&](int delta) {
    QWheelEvent event(QPointF(400, 400), QPointF(400, 400), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &event);
  };
  wheel(-360);
  EXPECT_EQ(Model().ScrollOffset(), 40);
  EXPECT_GT(view_.ScrollBar().ThumbNow().top, 0);  // the bar follows
  wheel(120);
  EXPECT_EQ(Model().ScrollOffset(), 0);

  const struct {
    Qt::Key key;
    int selected;
  } keys[] = {{Qt::Key_Down, 0}, {Qt::Key_PageDown, 20}, {Qt::Key_Right, 21}, {Qt::Key_End, 29},   {Qt::Key_PageUp, 9},
              {Qt::Key_Up, 8},   {Qt::Key_Left, 7},      {Qt::Key_Home, 0},   {Qt::Key_Return, 0}, {Qt::Key_Space, 0}};
  for (const auto& k : keys) {
    QTest::keyClick(&view_, k.key);
    EXPECT_EQ(Model().SelectedRow(), k.selected) << QKeySequence(k.key).toString().toStdString();
  }
  EXPECT_TRUE(enterGame_.empty() && webSite_.empty());
}

// A frame of the badge draws little, and whatever the window paints between
// frames goes through the kept picture too: the screen must still show exactly
// what a repaint drawing every row afresh shows.
TEST_F(ServerListViewTest, TheScreenIsWhatAFreshRepaintDraws) {
  const auto reload = [this](const char* name) {
    config_ = ListOf(30);
    config_->ServerList()[3].ServerName = name;
    config_->ServerList()[21].BeginTime = name;
    view_.SetRowCount(30);  // the same count: nothing is marked for a repaint
  };
  const auto press = [this](QPoint p) { QTest::mousePress(Viewport(), Qt::LeftButton, {}, p); };
  // Two laps of the badge's ten frames: the second shows each frame as the first
  // composed it, for as long as the rows stay.
  const auto framesComeRound = [this] {
    QElapsedTimer laps;
    laps.start();
    while (laps.elapsed() < 1500) {
      view_.RepaintNow();
      QTest::qSleep(20);
    }
  };
  const struct {
    const char* name;
    std::function<void()> change;
    bool unmarked = false;  // nothing is marked for a repaint: the next frame alone shows it
  } steps[] = {
      {"loaded", [] {}},
      {"the badge's frames come round", framesComeRound},
      {"a hot row",
       [&] {
         QTest::mouseMove(Viewport(), {400, 2 * 40 + 20});
       }},
      {"another hot row as the frames come round",
       [&] {
         framesComeRound();
         QTest::mouseMove(Viewport(), {400, 3 * 40 + 20});
         QApplication::processEvents();
         framesComeRound();
       }},
      {"a hot button", [&] { QTest::mouseMove(Viewport(), EnterGame(4)); }},
      {"a pressed button of the selected row", [&] { press(EnterGame(4)); }},
      {"released", [&] { QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, EnterGame(4)); }},
      {"another row selected", [&] { QTest::keyClick(&view_, Qt::Key_Down); }},
      {"a reload with other entries", [&] { reload("更名"); }, true},
      {"scrolled by the wheel", [&] { Model().ScrollTo(40); }},
      {"scrolled to half a row", [&] { Model().ScrollTo(60); }},
      {"a hot row after scrolling",
       [&] {
         QTest::mouseMove(Viewport(), {400, 7 * 40});
       }},
      {"another reload", [&] { reload("再更名"); }, true},
      {"the pointer gone",
       [&] {
         QEvent leave(QEvent::Leave);
         QApplication::sendEvent(Viewport(), &leave);
       }},
  };
  Load(30);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    // The window paints what the change marked, then the badge's next frame comes;
    // with nothing marked, that frame alone must show the change.
    if (!step.unmarked) QApplication::processEvents();
    view_.RepaintNow();
    const QImage cheap = OnScreen();
    view_.RepaintAfresh();  // nothing in between lets the badge's animation move on
    const QImage fresh = OnScreen();
    ASSERT_FALSE(fresh.isNull());
    EXPECT_EQ(cheap, fresh);
  }
}

TEST_F(ServerListViewTest, BindingARowBeyondTheListIsAFailure) {
  test::ModalWatcher modals;
  Load(3);
  config_ = ListOf(1);  // fewer entries than rows: painting reports the bad index
  view_.RepaintNow();
  ASSERT_FALSE(modals.Texts().isEmpty());
  EXPECT_TRUE(modals.Texts().front().startsWith("Argument out of range")) << modals.Texts().front().toStdString();
}

}  // namespace
}  // namespace tandrel::ui

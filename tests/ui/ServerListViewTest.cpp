// The server list on its own: binding, painting, hot tracking, clicks, keys and
// scrolling, drawn offscreen.
#include "ui/Look.h"
#include "ui/ServerListView.h"

#include "support/UiSupport.h"

#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace tandrel::ui {
namespace {

std::unique_ptr<TConfig> ListOf(int servers) {
  std::string text = R"({"ServerList":{"FListHelper":[)";
  for (int i = 0; i < servers; ++i) {
    text += std::string(i ? "," : "") + R"({"ServerName":"服务器)" + std::to_string(i) + R"(","BriefIntroduction":"介绍"})";
  }
  return std::make_unique<TConfig>(text + "]}}");
}

class ServerListViewTest : public ::testing::Test {
 protected:
  ServerListViewTest() : view_(art_, [this] { return config_.get(); }, nullptr) {
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
  QPoint EnterGame(int row) const { return {832 + 37, row * 40 - view_.ScrollOffset() + 9 + 12}; }
  QPoint WebSite(int row) const { return {232 + 37, row * 40 - view_.ScrollOffset() + 10 + 12}; }
  QWidget* Viewport() { return view_.viewport(); }
  QImage Picture() { return view_.grab().toImage(); }
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
  EXPECT_EQ(view_.SelectedRow(), 8);

  // The whole 74 x 25 box of the web-site button counts, beyond its smaller picture.
  Click({232 + 2, 5 * 40 + 10 + 1}, {232 + 2, 5 * 40 + 10 + 1});
  EXPECT_EQ(webSite_, (std::vector<int>{8, 5}));
}

TEST_F(ServerListViewTest, ReleasingOverAnotherRowOnlySelectsThePressedRow) {
  Load(10);
  Click(EnterGame(3), EnterGame(5));
  EXPECT_TRUE(enterGame_.empty());
  EXPECT_EQ(view_.SelectedRow(), 3);
  Click({500, 4 * 40 + 20}, {500, 4 * 40 + 20});  // the plate: selects, no click
  EXPECT_TRUE(enterGame_.empty() && webSite_.empty());
  EXPECT_EQ(view_.SelectedRow(), 4);
}

TEST_F(ServerListViewTest, APartlyVisibleRowScrollsIntoViewBeforeTheRelease) {
  Load(30);
  view_.verticalScrollBar()->setValue(20);  // row 0 shows its lower half only
  const QPoint point(832 + 37, 4);           // on row 0's button, 24 below the row's top
  QTest::mouseMove(Viewport(), point);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, point);
  EXPECT_EQ(view_.SelectedRow(), 0);
  EXPECT_EQ(view_.ScrollOffset(), 0);  // now fully in view; the release is measured there
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, point);
  EXPECT_TRUE(enterGame_.empty());  // 4 below the row's top is above its button

  const QPoint lower(832 + 37, 20);  // a row pressed where it stays: a click
  Click(lower, lower);
  EXPECT_EQ(enterGame_, std::vector<int>{0});
}

TEST_F(ServerListViewTest, ShowsAScrollBarOnlyPastTwentyRows) {
  Load(20);
  EXPECT_FALSE(view_.verticalScrollBar()->isVisible());
  EXPECT_EQ(Viewport()->width(), 952);
  QTest::keyClick(&view_, Qt::Key_Home);  // select row 0
  QImage shot = Picture();
  EXPECT_EQ(shot.pixelColor(948, 20), look::kHighlight);  // the frame right of a 945 plate
  EXPECT_NE(shot.pixelColor(940, 20), look::kHighlight);

  Load(21);
  EXPECT_TRUE(view_.verticalScrollBar()->isVisible());
  EXPECT_EQ(Viewport()->width(), 952 - 17);
  QTest::keyClick(&view_, Qt::Key_Home);
  shot = Picture();
  EXPECT_EQ(shot.pixelColor(933, 20), look::kHighlight);  // the frame right of a 930 plate
  EXPECT_NE(shot.pixelColor(930, 20), look::kHighlight);
}

TEST_F(ServerListViewTest, DrawsTheHighlightAsAFrameAndNothingBelowTheLastRow) {
  Load(3);
  QTest::keyClick(&view_, Qt::Key_End);
  const QImage shot = Picture();
  EXPECT_EQ(shot.pixelColor(1, 2 * 40 + 20), look::kHighlight);  // 3 wide on the left
  EXPECT_EQ(shot.pixelColor(100, 2 * 40 + 1), look::kHighlight);  // 2 at the top
  EXPECT_NE(shot.pixelColor(100, 2 * 40 + 20), look::kHighlight); // the plate covers the middle
  EXPECT_NE(shot.pixelColor(1, 1 * 40 + 20), look::kHighlight);   // other rows: no frame
  EXPECT_EQ(shot.pixelColor(500, 3 * 40 + 5), look::kListBackground);
  EXPECT_EQ(shot.pixelColor(500, 799), look::kListBackground);

  Load(0);
  EXPECT_EQ(Picture().pixelColor(500, 20), look::kListBackground);
}

TEST_F(ServerListViewTest, FollowsThePointerWithTheHotRow) {
  Load(5);
  QTest::mouseMove(Viewport(), {400, 2 * 40 + 20});
  EXPECT_EQ(view_.HotRow(), 2);
  EXPECT_EQ(Picture().pixelColor(1, 2 * 40 + 20), look::kHighlight);
  QTest::mouseMove(Viewport(), {400, 6 * 40 + 20});  // below the last row
  EXPECT_EQ(view_.HotRow(), -1);
}

TEST_F(ServerListViewTest, WheelAndKeysMoveByRows) {
  Load(30);
  const auto wheel = [&](int delta) {
    QWheelEvent event(QPointF(400, 400), QPointF(400, 400), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &event);
  };
  wheel(-360);  // one row per message, whatever its distance
  EXPECT_EQ(view_.ScrollOffset(), 40);
  wheel(-1);
  EXPECT_EQ(view_.ScrollOffset(), 80);
  for (int i = 0; i < 20; ++i) wheel(-120);
  EXPECT_EQ(view_.ScrollOffset(), 30 * 40 - 800);  // held within its range
  wheel(120);
  EXPECT_EQ(view_.ScrollOffset(), 30 * 40 - 800 - 40);

  QTest::keyClick(&view_, Qt::Key_Up);  // no selection: the first row
  EXPECT_EQ(view_.SelectedRow(), 0);
  EXPECT_EQ(view_.ScrollOffset(), 0);
  QTest::keyClick(&view_, Qt::Key_Up);
  EXPECT_EQ(view_.SelectedRow(), 0);
  QTest::keyClick(&view_, Qt::Key_PageDown);
  EXPECT_EQ(view_.SelectedRow(), 20);
  EXPECT_EQ(view_.ScrollOffset(), 21 * 40 - 800);
  QTest::keyClick(&view_, Qt::Key_Right);
  EXPECT_EQ(view_.SelectedRow(), 21);
  QTest::keyClick(&view_, Qt::Key_End);
  EXPECT_EQ(view_.SelectedRow(), 29);
  QTest::keyClick(&view_, Qt::Key_Down);
  EXPECT_EQ(view_.SelectedRow(), 29);
  QTest::keyClick(&view_, Qt::Key_PageUp);
  EXPECT_EQ(view_.SelectedRow(), 9);
  QTest::keyClick(&view_, Qt::Key_Return);  // no key presses a row button
  EXPECT_TRUE(enterGame_.empty());

  view_.ClearSelection();
  QTest::keyClick(&view_, Qt::Key_End);  // End selects the last row also without a selection
  EXPECT_EQ(view_.SelectedRow(), 29);
}

TEST_F(ServerListViewTest, ARefreshKeepsOrClampsTheScrollOffset) {
  Load(30);
  view_.verticalScrollBar()->setValue(400);
  config_ = ListOf(30);
  view_.SetRowCount(30);
  EXPECT_EQ(view_.ScrollOffset(), 400);
  config_ = ListOf(25);
  view_.SetRowCount(25);
  EXPECT_EQ(view_.ScrollOffset(), 25 * 40 - 800);
  config_ = ListOf(20);
  view_.SetRowCount(20);
  EXPECT_EQ(view_.ScrollOffset(), 0);
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

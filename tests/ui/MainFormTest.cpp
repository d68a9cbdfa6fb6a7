// The main window on Qt against a loopback service: its timers, what it paints,
// real clicks on its pictures and rows, and the failure report's message box.
#include "ui/FailureReport.h"
#include "ui/uMainForm.h"

#include "core/ProgramPaths.h"
#include "core/crypto.h"

#include "support/RecordingPlacement.h"
#include "support/UiSupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace tandrel::ui {
namespace {

using namespace std::chrono_literals;
using test::ModalWatcher;
using test::TestSite;
using test::WaitFor;

// Records the order of what the window asks: "site" for every request it makes
// (the site is read afresh for each), and the placement's steps.
struct Recorder {
  std::vector<std::string> events;
  test::RecordingPlacement placement{[this](const std::string& step) { events.push_back(step); }};
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }
};

forms::MainFormOptions Fast(TestSite& site, Recorder& recorder) {
  forms::MainFormOptions options;
  options.timer2 = 30ms;
  options.timer3 = 60ms;
  options.timer4 = 250ms;
  options.site = [&site, &recorder] {
    recorder.events.push_back("site");
    return site.Site();
  };
  options.placement = [&recorder](BoxWindows&, http::Client&) {
    return std::shared_ptr<Placement>(&recorder.placement, [](Placement*) {});  // the test keeps it
  };
  return options;
}

// A left click on one of the window's pictures, as the player makes it.
void ClickAt(MainWindow& window, QPoint at) {
  QWidget* picture = window.childAt(at);
  ASSERT_NE(picture, nullptr);
  QTest::mouseClick(picture, Qt::LeftButton, {}, picture->mapFrom(&window, at));
}

const QPoint kRefresh(31 + 50, 103 + 8), kClose(956 + 8, 8 + 8), kMinimise(934 + 8, 8 + 8);

// The time line on Qt's timers: the banner is painted, the rows appear, the
// clean-up comes once and the reloads keep coming.
TEST(MainForm, RunsTheStartUpTimeLineOnItsTimers) {
  TestSite site(3);
  Recorder recorder;
  ModalWatcher modals;
  MainWindow form(Fast(site, recorder));
  form.show();
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 3; }));
  ASSERT_TRUE(WaitFor([&] { return site.Requests("/") >= 4; }));  // Timer4 keeps reloading
  // Banner and list once by Timer2 (the first load also reads whether the box is
  // signed), then the clean-up once, then the reloads.
  EXPECT_EQ(site.Requests("/getvalue/logo.png"), 1);
  EXPECT_EQ(recorder.Count("cleanup"), 1);
  const auto cleanup = std::find(recorder.events.begin(), recorder.events.end(), "cleanup");
  EXPECT_EQ(std::count(recorder.events.begin(), cleanup, "site"), 3);
  EXPECT_TRUE(modals.Texts().isEmpty()) << modals.Texts().join("|").toStdString();
  // The test's banner is one colour, centred in its box and cut at its sides.
  const QImage shot = form.grab().toImage();
  EXPECT_EQ(shot.pixelColor(85 + 2, 17 + 35), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(shot.pixelColor(85 + 797, 17 + 35), QColor(0x12, 0x34, 0x56));
}

TEST(MainForm, ABannerThatIsNoPictureIsReportedInAMessageBox) {
  TestSite site(3, "this is no picture");
  Recorder recorder;
  ModalWatcher modals;
  MainWindow form(Fast(site, recorder));
  ASSERT_TRUE(WaitFor([&] { return !modals.Texts().isEmpty(); }));
  EXPECT_EQ(modals.Texts().front(), "Unsupported stream format.");
  EXPECT_TRUE(form.Banner().isNull());
  // The program goes on: the 30-minute reload still brings the rows.
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 3; }));
}

TEST(MainForm, AFailedBannerRequestSaysSoOverTheWindow) {
  TestSite site(2);
  Recorder recorder;
  ModalWatcher modals;
  forms::MainFormOptions options = Fast(site, recorder);
  options.site = [&site] {
    ServiceSite s = site.Site();
    s.serverUrl = "http://127.0.0.1:1/";  // nothing listens there
    return s;
  };
  MainWindow form(options);
  form.show();
  ASSERT_TRUE(WaitFor([&] { return !modals.Texts().isEmpty(); }));
  EXPECT_EQ(modals.Texts().front(), "网络连接失败");
  EXPECT_EQ(modals.Boxes().front().geometry.topLeft(),
            test::CentredOnScreen(modals.Boxes().front().geometry.size(),
                                  QRect(form.mapToGlobal(QPoint(0, 0)), form.size())));
}

TEST(MainForm, TheRefreshPictureReloadsAndTheScrollBarFollows) {
  TestSite site(25);
  Recorder recorder;
  ModalWatcher modals;
  forms::MainFormOptions options = Fast(site, recorder);
  options.timer4 = std::chrono::hours(1);
  MainWindow form(options);
  form.show();
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 25; }));
  EXPECT_TRUE(WaitFor([&] { return form.ControlList1().ScrollBar().Shown(); }));
  site.Stop();
  ClickAt(form, kRefresh);
  EXPECT_EQ(form.ControlList1().RowCount(), 0u);
  EXPECT_TRUE(WaitFor([&] { return !form.ControlList1().ScrollBar().Shown(); }));
  site.Start();
  ClickAt(form, kRefresh);
  EXPECT_EQ(form.ControlList1().RowCount(), 25u);
  EXPECT_TRUE(modals.Texts().isEmpty());
}

TEST(MainForm, ADoubleClickOnTheRefreshPictureReloadsOnce) {
  TestSite site(3);
  Recorder recorder;
  forms::MainFormOptions options = Fast(site, recorder);
  options.timer4 = std::chrono::hours(1);
  MainWindow form(options);
  form.show();
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 3; }));
  const int before = site.Requests("/");
  QWidget* picture = form.childAt(kRefresh);
  ASSERT_NE(picture, nullptr);
  const QPoint at = picture->mapFrom(&form, kRefresh), place = picture->pos();
  // What the window system delivers for a double click: press, release, double-click press, release.
  QTest::mousePress(picture, Qt::LeftButton, {}, at);
  QTest::mouseRelease(picture, Qt::LeftButton, {}, at);
  QMouseEvent second(QEvent::MouseButtonDblClick, at, picture->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(picture, &second);
  EXPECT_EQ(picture->pos(), place + QPoint(1, 1));  // the second press shifts it too
  QTest::mouseRelease(picture, Qt::LeftButton, {}, at);
  EXPECT_EQ(picture->pos(), place);
  ASSERT_TRUE(WaitFor([&] { return site.Requests("/") >= before + 1; }));
  QTest::qWait(300);  // a second reload's log line would have come by now
  EXPECT_EQ(site.Requests("/"), before + 1);
}

TEST(MainForm, TheMinimiseAndClosePicturesActOnTheWindow) {
  TestSite site(1);
  Recorder recorder;
  recorder.placement.relocate = true;  // nothing loads
  MainWindow form(Fast(site, recorder));
  form.show();
  ClickAt(form, kMinimise);
  EXPECT_TRUE(form.isMinimized());
  form.showNormal();
  ClickAt(form, kClose);
  EXPECT_FALSE(form.isVisible());
}

TEST(MainForm, EnterGameDownloadsOnceThenStartsFromTheCache) {
  TestSite site(0);
  const std::string launcher =
      "#!/bin/sh\necho \"$0\" >> \"$TANDREL_LAUNCHER_PROOF\"\n" + std::string(300000, '#') + "\n";
  std::filesystem::create_directories(site.Dir() / "launchers");
  test::WriteFile(site.Dir() / "launchers" / "corvessa_dawn.exe", launcher);
  test::WriteFile(site.Dir() / "digest", launcher);
  const std::string md5 = GetFileMd5((site.Dir() / "digest").string());
  std::string list = R"({"ServerList":{"FListHelper":[)";
  for (int i = 0; i < 4; ++i) {
    list += std::string(i ? "," : "") + R"({"ServerName":"S)" + std::to_string(i) +
            R"(","LauncherName":"corvessa_dawn","Md5":")" + md5 + R"("})";
  }
  test::WriteFile(site.Dir() / "servers.json", list + "]}}");
  test::TempDir home;
  const std::string proof = (home / "proof").string();
  setenv("TANDREL_LAUNCHER_PROOF", proof.c_str(), 1);

  Recorder recorder;
  ModalWatcher modals;
  forms::MainFormOptions options = Fast(site, recorder);
  options.timer4 = std::chrono::hours(1);
  options.exeDir = home.path().string() + "/";
  MainWindow form(options);
  form.show();
  int dialogs = 0;
  QObject::connect(&form, &MainWindow::downloadStarting, [&](DownloadDialog*) { ++dialogs; });
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 4; }));

  QWidget* rows = &form.ControlList1();
  const QPoint button(832 + 37, 2 * 40 + 21);  // row 2's enter-game button
  for (int click = 0; click < 2; ++click) {
    QApplication::setActiveWindow(&form);  // back from the dialog, as the desktop does
    QTest::mouseMove(rows, button);
    QTest::mouseClick(rows, Qt::LeftButton, {}, button);
  }
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(site.Requests("/getvalue/corvessa_dawn.exe"), 1);
  EXPECT_TRUE(modals.Texts().isEmpty()) << modals.Texts().join("|").toStdString();
  ASSERT_TRUE(WaitFor([&] {
    return std::filesystem::exists(proof) && test::ReadFile(proof).find('\n') != test::ReadFile(proof).rfind('\n');
  }));
  EXPECT_EQ(test::ReadFile(proof),
            home.path().string() + "/Tmp/corvessa_dawn.exe\n" + home.path().string() + "/Tmp/corvessa_dawn.exe\n");
  EXPECT_TRUE(modals.Texts().isEmpty()) << modals.Texts().join("|").toStdString();
}

// The report as Qt shows it: a message box with the failure's text.
TEST(FailureReport, AFailingHandlerIsShownInAMessageBoxAndTheProgramGoesOn) {
  ModalWatcher modals;
  bool after = false;
  Guarded([&] {
    throw std::runtime_error("The handler failed");
    after = true;  // never reached: the rest of the handler does not run
  });
  EXPECT_FALSE(after);
  ASSERT_EQ(modals.Texts().size(), 1);
  EXPECT_EQ(modals.Texts().front(), "The handler failed.");
  int ran = 0;
  Guarded([&] { ++ran; });
  EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace tandrel::ui

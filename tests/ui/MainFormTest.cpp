// The main window's time line, loads and failure reports, against a loopback service.
#include "ui/FailureReport.h"
#include "ui/uMainForm.h"

#include "core/ProgramPaths.h"
#include "core/crypto.h"

#include "support/UiSupport.h"

#include <QScrollBar>
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
struct Recorder final : Placement {
  std::vector<std::string> events;
  bool relocate = false, update = false;
  bool RelocateIfNeeded() override {
    events.push_back("relocate");
    return relocate;
  }
  bool CheckSelfUpdate() override {
    events.push_back("update");
    return update;
  }
  void CreateDesktopShortcut(const std::string& name) override { events.push_back("shortcut " + name); }
  void CleanUpLeftovers() override { events.push_back("cleanup"); }
  int Count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }
};

MainFormOptions Fast(TestSite& site, Recorder& recorder) {
  MainFormOptions options;
  options.timer2 = 30ms;
  options.timer3 = 60ms;
  options.timer4 = 250ms;
  options.site = [&site, &recorder] {
    recorder.events.push_back("site");
    return site.Site();
  };
  options.placement = [&recorder](BoxWindows&, http::Client&) {
    return std::shared_ptr<Placement>(&recorder, [](Placement*) {});  // the test keeps it
  };
  return options;
}

TEST(MainForm, RunsTheStartUpTimeLine) {
  TestSite site(3);
  Recorder recorder;
  ModalWatcher modals;
  TMainForm form(Fast(site, recorder));
  // Start-up: relocation check, update check, then the shortcut; nothing loaded yet.
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"relocate", "update", "shortcut Corvessa"}));
  EXPECT_TRUE(form.Timer(1).isActive());
  EXPECT_TRUE(form.Timer(2).isActive());
  EXPECT_TRUE(form.Timer(4).isActive());
  EXPECT_FALSE(form.Timer(3).isActive());
  EXPECT_EQ(form.Timer(1).interval(), 150);

  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 3; }));
  EXPECT_FALSE(form.Banner().isNull());
  ASSERT_TRUE(WaitFor([&] { return site.Requests("/") >= 4; }));  // Timer4 keeps reloading
  // Banner and list once by Timer2, then the clean-up once, then the reloads.
  EXPECT_EQ(site.Requests("/getvalue/logo.png"), 1);
  EXPECT_EQ(recorder.Count("cleanup"), 1);
  const auto cleanup = std::find(recorder.events.begin(), recorder.events.end(), "cleanup");
  EXPECT_EQ(std::count(recorder.events.begin(), cleanup, "site"), 2);
  EXPECT_TRUE(modals.Texts().isEmpty()) << modals.Texts().join("|").toStdString();
  EXPECT_TRUE(std::filesystem::is_directory(ExeDir() + "Downloads"));
  EXPECT_TRUE(std::filesystem::is_directory(ExeDir() + "Tmp"));
}

TEST(MainForm, ABannerThatIsNoPictureStopsTheFirstLoadAndTheCleanUp) {
  TestSite site(3, "this is no picture");
  Recorder recorder;
  ModalWatcher modals;
  TMainForm form(Fast(site, recorder));
  ASSERT_TRUE(WaitFor([&] { return !modals.Texts().isEmpty(); }));
  EXPECT_EQ(modals.Texts().front(), "Unsupported stream format.");
  EXPECT_EQ(form.ControlList1().RowCount(), 0u);
  // The 30-minute reload still comes, and the program goes on; the clean-up never does.
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 3; }));
  test::Spin(200ms);
  EXPECT_EQ(recorder.Count("cleanup"), 0);
  EXPECT_TRUE(form.Timer(1).isActive());
}

TEST(MainForm, AFailedBannerRequestSaysSoAndTheListStillLoads) {
  TestSite site(2);
  Recorder recorder;
  ModalWatcher modals;
  MainFormOptions options = Fast(site, recorder);
  options.site = [&site] {
    ServiceSite s = site.Site();
    s.serverUrl = "http://127.0.0.1:1/";  // nothing listens there
    return s;
  };
  TMainForm form(options);
  ASSERT_TRUE(WaitFor([&] { return !modals.Texts().isEmpty(); }));
  EXPECT_EQ(modals.Texts().front(), "网络连接失败");
  EXPECT_EQ(modals.Texts().size(), 1);  // the failed list request says nothing
}

TEST(MainForm, AReloadAfterTheServiceStoppedShowsNoRowsAndNoMessage) {
  TestSite site(25);
  Recorder recorder;
  ModalWatcher modals;
  TMainForm form(Fast(site, recorder));
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 25; }));
  form.Timer(4).stop();
  site.Stop();
  form.Image1Click();
  EXPECT_EQ(form.ControlList1().RowCount(), 0u);
  EXPECT_EQ(form.Config(), nullptr);
  EXPECT_FALSE(form.ControlList1().verticalScrollBar()->isVisible());
  site.Start();
  form.Image1Click();
  EXPECT_EQ(form.ControlList1().RowCount(), 25u);
  EXPECT_TRUE(modals.Texts().isEmpty());
}

TEST(MainForm, ARelocatedStartRunsNothingMore) {
  TestSite site(1);
  Recorder recorder;
  recorder.relocate = true;
  TMainForm form(Fast(site, recorder));
  EXPECT_EQ(recorder.events, std::vector<std::string>{"relocate"});
  EXPECT_FALSE(form.Timer(2).isActive());
  EXPECT_FALSE(form.Timer(4).isActive());
  EXPECT_TRUE(form.Timer(1).isActive());
}

TEST(MainForm, EnterGameDownloadsOnceThenStartsFromTheCache) {
  TestSite site(0);
  const std::string launcher = "#!/bin/sh\necho \"$0\" >> \"$TANDREL_LAUNCHER_PROOF\"\n" + std::string(300000, '#') + "\n";
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
  MainFormOptions options = Fast(site, recorder);
  options.exeDir = home.path().string() + "/";
  TMainForm form(options);
  form.show();
  int dialogs = 0;
  QObject::connect(&form, &TMainForm::downloadStarting, [&](TDownloadForm*) { ++dialogs; });
  ASSERT_TRUE(WaitFor([&] { return form.ControlList1().RowCount() == 4; }));
  form.Timer(4).stop();

  QWidget* rows = form.ControlList1().viewport();
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
  EXPECT_EQ(test::ReadFile(proof), home.path().string() + "/Tmp/corvessa_dawn.exe\n" + home.path().string() +
                                       "/Tmp/corvessa_dawn.exe\n");
  EXPECT_TRUE(modals.Texts().isEmpty()) << modals.Texts().join("|").toStdString();
}

TEST(FailureReport, AppendsAFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(FailureText("Unsupported stream format"), "Unsupported stream format.");
  EXPECT_EQ(FailureText("Ends with a stop."), "Ends with a stop.");
  EXPECT_EQ(FailureText("Question?"), "Question?.");  // '?' is above '.'
  EXPECT_EQ(FailureText("dash -"), "dash -");          // '-' is below '.'
  EXPECT_EQ(FailureText("系统错误"), "系统错误.");
  EXPECT_EQ(FailureText(""), "");
}

TEST(FailureReport, AFailingHandlerIsReportedAndTheProgramGoesOn) {
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

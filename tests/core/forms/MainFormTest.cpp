// The main window's logic as tables of events and the states they leave: the
// start-up sequence, the four timers, the controls and the row buttons, against
// a loopback service, with timers the test fires and a window that writes down
// what it is asked to show.
#include "core/forms/FailureReport.h"
#include "core/forms/Termination.h"
#include "core/forms/uMainForm.h"

#include "core/Paths.h"
#include "core/crypto.h"
#include "core/Share.h"

#include "ManualTimers.h"
#include "support/DirectWindows.h"
#include "support/LoopbackServer.h"
#include "support/RecordingPlacement.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <sstream>

namespace tandrel::forms {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const site::Secret kKey = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const site::Secret kIv = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
const std::string kAuth = site::BasicAuthorization(std::string(32, 'a'), std::string(32, 'b'));
const std::string kLauncher = "#!/bin/sh\nexit 0\n";
const std::string kPicture = "\x89PNG\r\n\x1a\n a banner";

// Everything that happens, in order: what the window is asked to do, what the
// service is asked for, the placement's steps and the failure reports.
// The service's requests come in as they were made: each request has had its
// answer before the box goes on to anything the log records after it.
struct Log {
  std::function<std::string()> takeServiceLines;
  std::vector<std::string> lines;
  void Add(std::string line) {
    TakeServiceLines();
    lines.push_back(std::move(line));
  }
  std::vector<std::string> Take() {
    TakeServiceLines();
    return std::exchange(lines, {});
  }

 private:
  void TakeServiceLines() {
    if (!takeServiceLines) return;
    std::istringstream service(takeServiceLines());
    for (std::string line; std::getline(service, line);) lines.push_back(line);
  }
};

class RecordingScreen final : public MainFormScreen, public RowCountView {
 public:
  explicit RecordingScreen(Log& log) : log_(log) {}
  bool ShowBanner(const http::Bytes& picture) override {
    if (!std::string(picture.begin(), picture.end()).starts_with("\x89PNG")) return false;
    log_.Add("banner");
    return true;
  }
  void RepaintListNow() override { log_.Add("repaint list"); }
  void ClearListSelection() override { log_.Add("clear selection"); }
  void Minimise() override { log_.Add("minimise"); }
  void Close() override { log_.Add("close"); }
  // Downloads in the dialog's logic, without a display.
  DownloadResult RunDownloadForm(const download::DownloadRequest& request, download::DownloadedFile& file) override {
    log_.Add("download " + request.name);
    return dialogs_.Download(request, file);
  }
  void ShowMessage(MessageIcon icon, MessagePlace place, const std::string& caption, const std::string& text) override {
    log_.Add(std::string(icon == MessageIcon::Error ? "error " : "plain ") +
             (place == MessagePlace::OverMainWindow ? "over the window " : "on the screen ") + caption + ": " + text +
             (TerminationRequested() ? " (closes by itself)" : ""));
  }
  void SetRowCount(std::size_t count) override { log_.Add("rows " + std::to_string(count)); }

 private:
  Log& log_;
  test::DirectWindows dialogs_;  // only its dialogs
};

struct RecordingShell final : platform::Shell {
  explicit RecordingShell(Log& sink) : log(sink) {}
  Log& log;
  platform::ShellRefusal StartProgram(const fs::path& executable) override {
    log.Add("start " + executable.string());
    return std::nullopt;
  }
  platform::ShellRefusal OpenWebAddress(const std::string& url) override {
    log.Add("open " + url);
    return std::nullopt;
  }
};

using Enabled = std::array<bool, 4>;  // Timer1 to Timer4

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    ResetTerminationForTests();
    SetApplicationTitle("Box");
    SetFailureReport(
        [this](const std::string& caption, const std::string& text) { log_.Add("report " + caption + ": " + text); });
    test::WriteFile(home_ / "digest", kLauncher);
    md5_ = GetFileMd5((home_ / "digest").string());
    server_.Set("authorization", kAuth);
    server_.Set("banner", kPicture);
    server_.Set("launcher", kLauncher);
    SetServers(3);
    log_.takeServiceLines = [this] { return server_.Take("log"); };
  }
  ~MainFormTest() override {
    form_.reset();
    SetFailureReport(nullptr);
    SetApplicationTitle("");
    ResetTerminationForTests();
  }

  void SetServers(int count) {
    servers_ = count;
    server_.Set("list", List());
  }
  std::string List() const {
    std::string text = R"({"ServerList":{"FListHelper":[)";
    for (int i = 0; i < servers_; ++i) {
      const std::string n = std::to_string(i);
      text += std::string(i ? "," : "") + R"({"ServerName":"server )" + n + R"(","LauncherName":"game)" + n +
              R"(","Url":"http://corvessa.example/)" + n + R"(","Md5":")" + md5_ + R"("})";
    }
    const std::string plain = text + "]}}";
    const auto body = EncryptServerList(std::vector<std::uint8_t>(plain.begin(), plain.end()), kKey, kIv);
    return std::string(body.begin(), body.end());
  }

  std::string ExeDir() const { return FolderText(home_.path()); }

  TMainForm& Form() {
    if (!form_) {
      MainFormOptions options;
      options.site = [this] {
        return ServiceSite{reachable_ ? server_.Url("/box/") : "http://127.0.0.1:1/", kAuth, kKey, kIv, {}, {}};
      };
      options.placement = [this](BoxWindows&, http::Client&) {
        return std::shared_ptr<Placement>(&placement_, [](Placement*) {});  // the test keeps it
      };
      options.exeDir = ExeDir();
      options.shell = &shell_;
      form_ = std::make_unique<TMainForm>(screen_, timers_, screen_, std::move(options));
    }
    return *form_;
  }

  // Runs one event as the window layer does: through Guarded.
  void Run(const std::string& event) {
    TMainForm& form = Form();
    if (event.starts_with("Timer")) return timers_.made.at(static_cast<std::size_t>(event[5] - '1'))->Tick();
    const std::map<std::string, std::function<void()>> handlers = {
        {"FormCreate", [&] { form.FormCreate(); }},
        {"Image1Click", [&] { form.Image1Click(); }},
        {"Image7Click", [&] { form.Image7Click(); }},
        {"Image8Click", [&] { form.Image8Click(); }},
    };
    Guarded(handlers.at(event));
  }

  Enabled TimersEnabled() {
    Enabled enabled{};
    for (std::size_t i = 0; i < 4; ++i) enabled[i] = timers_.made.at(i)->Enabled();
    return enabled;
  }

  struct Step {
    std::string event;
    std::vector<std::string> log;  // what it did, in order
    Enabled enabled;               // the timers after it
  };
  void RunSteps(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      Run(step.event);
      EXPECT_EQ(log_.Take(), step.log) << step.event;
      EXPECT_EQ(TimersEnabled(), step.enabled) << step.event;
    }
  }

  Log log_;
  test::TempDir home_;
  std::string md5_;
  int servers_ = 0;
  bool reachable_ = true;
  test::LoopbackServer server_{"box-service"};
  RecordingScreen screen_{log_};
  ManualTimers timers_;
  test::RecordingPlacement placement_{[this](const std::string& step) { log_.Add(step); }};
  RecordingShell shell_{log_};
  std::unique_ptr<TMainForm> form_;
};

TEST(FormTimer, EnablingAnEnabledTimerLetsItsCountGoOn) {
  ManualTimer timer([] {});
  timer.SetEnabled(true);
  timer.SetEnabled(true);
  EXPECT_EQ(timer.starts, 1);
  timer.SetEnabled(false);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
  timer.SetEnabled(true);
  EXPECT_EQ(timer.starts, 2);
}

TEST_F(MainFormTest, RunsTheStartUpTimeLine) {
  Form();
  // Created: the intervals, and only Timer1 runs.
  ASSERT_EQ(timers_.made.size(), 4u);
  const std::array<std::chrono::milliseconds, 4> intervals = {150ms, 200ms, 2000ms, 1800000ms};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(timers_.made[i]->Interval(), intervals[i]) << "Timer" << i + 1;
  EXPECT_EQ(TimersEnabled(), (Enabled{true, false, false, false}));
  EXPECT_TRUE(log_.Take().empty());  // nothing is loaded or placed before FormCreate

  RunSteps({
      {"FormCreate", {"relocate", "update", "shortcut Corvessa"}, {true, true, false, true}},
      {"Timer1", {"repaint list"}, {true, true, false, true}},
      {"Timer2", {"GET banner", "banner", "GET list", "rows 3"}, {true, false, true, true}},
      {"Timer3", {"cleanup"}, {true, false, false, true}},
      {"Timer4", {"clear selection", "GET list", "rows 3"}, {true, false, false, true}},
      {"Timer4", {"clear selection", "GET list", "rows 3"}, {true, false, false, true}},
  });
  EXPECT_EQ(Form().Config()->ServerList().size(), 3u);
  EXPECT_TRUE(fs::is_directory(home_ / "Downloads"));
  EXPECT_TRUE(fs::is_directory(home_ / "Tmp"));
  EXPECT_FALSE(TerminationRequested());
}

TEST_F(MainFormTest, TheControlsRefreshMinimiseAndClose) {
  SetServers(2);
  RunSteps({
      {"Image1Click", {"clear selection", "GET list", "rows 2"}, {true, false, false, false}},
      {"Image8Click", {"minimise"}, {true, false, false, false}},
      {"Image7Click", {"close"}, {true, false, false, false}},
  });
}

TEST_F(MainFormTest, ARelocatedStartRunsNothingMore) {
  placement_.relocate = true;
  RunSteps({{"FormCreate", {"relocate"}, {true, false, false, false}}});
  EXPECT_FALSE(fs::exists(home_ / "Downloads"));
}

TEST_F(MainFormTest, AnUpdatedStartSaysSoInAMessageThatClosesByItselfAndGoesOn) {
  placement_.update = true;
  RunSteps({{"FormCreate",
             {"relocate", "update", "plain on the screen Box: 结束进程1 (closes by itself)", "shortcut Corvessa"},
             {true, true, false, true}}});
  EXPECT_TRUE(TerminationRequested());
  EXPECT_TRUE(fs::is_directory(home_ / "Tmp"));
}

TEST_F(MainFormTest, AFailingStepEndsTheStartUpThereAndIsReported) {
  placement_.shortcutFails = true;
  RunSteps({{"FormCreate",
             {"relocate", "update", "shortcut Corvessa", "report Box: Cannot write the shortcut."},
             {true, true, false, true}}});
  EXPECT_FALSE(fs::exists(home_ / "Downloads"));
}

TEST_F(MainFormTest, ABannerThatIsNoPictureStopsTheFirstLoadAndTheCleanUp) {
  server_.Set("banner", "this is no picture");
  RunSteps({
      {"FormCreate", {"relocate", "update", "shortcut Corvessa"}, {true, true, false, true}},
      {"Timer2", {"GET banner", "report Box: Unsupported stream format."}, {true, false, false, true}},
      // The 30-minute reload still comes, and the program goes on; the clean-up never does.
      {"Timer4", {"clear selection", "GET list", "rows 3"}, {true, false, false, true}},
  });
}

TEST_F(MainFormTest, AFailedBannerRequestSaysSoAndTheFailedListSaysNothing) {
  reachable_ = false;
  RunSteps({
      {"FormCreate", {"relocate", "update", "shortcut Corvessa"}, {true, true, false, true}},
      {"Timer2", {"error over the window 提示: 网络连接失败", "rows 0"}, {true, false, true, true}},
  });
}

TEST_F(MainFormTest, AReloadAfterTheServiceWentAwayShowsNoRowsAndNoMessage) {
  SetServers(25);
  RunSteps({{"Image1Click", {"clear selection", "GET list", "rows 25"}, {true, false, false, false}}});
  reachable_ = false;
  RunSteps({{"Image1Click", {"clear selection", "rows 0"}, {true, false, false, false}}});
  EXPECT_EQ(Form().Config(), nullptr);
  reachable_ = true;
  RunSteps({{"Image1Click", {"clear selection", "GET list", "rows 25"}, {true, false, false, false}}});
}

TEST_F(MainFormTest, TheRowButtonsActOnTheirRowsEntry) {
  const auto click = [this](int button, int row) {
    Guarded([&] { button == 1 ? Form().ControlListButton1Click(row) : Form().ControlListButton2Click(row); });
    return log_.Take();
  };
  EXPECT_EQ(click(2, 0), std::vector<std::string>{"report Box: Argument out of range: row 0."});  // no list yet
  Run("FormCreate");
  Run("Timer2");
  log_.Take();
  EXPECT_EQ(click(2, 1), std::vector<std::string>{"open http://corvessa.example/1"});
  EXPECT_EQ(click(1, 3), std::vector<std::string>{"report Box: Argument out of range: row 3."});
  EXPECT_EQ(click(1, -1), std::vector<std::string>{"report Box: Argument out of range: row -1."});
  const std::string launch = "start " + ExeDir() + "Tmp" + kPathSeparator + "game2" +
                             (LaunchSuffix.empty() ? "" : "-" + LaunchSuffix) + ".exe";
  EXPECT_EQ(click(1, 2), (std::vector<std::string>{"download game2", launch}));
  EXPECT_EQ(test::ReadFile(home_ / "Downloads" / "game2.Dat"), kLauncher);
  EXPECT_EQ(click(1, 2), std::vector<std::string>{launch});  // from the cache
}

// On Windows the line goes to the debugger's output, which a test cannot read back.
#ifndef _WIN32
TEST_F(MainFormTest, FormDestroyWritesTheWholeTraceTagOnce) {
  Form();
  const auto tag = TraceTag();
  ::testing::internal::CaptureStderr();
  form_.reset();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(tag.begin(), tag.end()) + "\n");
  EXPECT_EQ(tag.size(), 150u);
}
#endif

}  // namespace
}  // namespace tandrel::forms

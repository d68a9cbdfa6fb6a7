// The download dialog's logic: what it shows for each progress report, its speed
// figure, and its modal result rules, against a loopback server, with a window
// whose modal loop runs the reports the client posts.
#include "core/forms/Termination.h"
#include "core/forms/uDownloadForm.h"

#include "support/LoopbackServer.h"
#include "support/HeadlessDownloads.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace tandrel::forms {
namespace {

using namespace std::chrono_literals;

using ModalScreen = test::ModalDownloadScreen;

// A user-interface thread whose tick the test sets.
struct SetClock final : QueuelessEventLoop {
  std::uint32_t tick = 0;
  std::uint32_t TickCount() override { return tick; }
};

class DownloadFormTest : public ::testing::Test {
 protected:
  DownloadFormTest() { ResetTerminationForTests(); }
  ~DownloadFormTest() override { ResetTerminationForTests(); }

  // The progress reports' views: those painted after the title.
  std::vector<DownloadView> Progress() const {
    return {screen_.painted.begin() + std::min<std::ptrdiff_t>(1, std::ssize(screen_.painted)), screen_.painted.end()};
  }

  // A request for the file at path, into the test's folder.
  download::DownloadRequest Request(const std::string& path) const {
    return {"abc", {server_.Url(path)}, dir_ / "abc.Dat", UINT64_MAX, 1, false};
  }
  std::string Part() const { return test::ReadFile(dir_ / "abc.Dat.part"); }

  test::TempDir dir_;
  test::LoopbackServer server_{"download"};
  test::QueueDispatcher dispatcher_;
  test::DispatcherTimers timers_{dispatcher_};
  ModalScreen screen_{dispatcher_};
  TDownloadForm form_{screen_, dispatcher_, timers_};
  download::DownloadedFile file_;
};

TEST_F(DownloadFormTest, IsCreatedEmpty) {
  EXPECT_EQ(form_.View(), (DownloadView{"下载中...", "已下载0%", 0, false, ""}));
  EXPECT_TRUE(screen_.painted.empty());
}

TEST_F(DownloadFormTest, ShowsEachReportAsPercentOrAmount) {
  const struct {
    std::int64_t contentLength, readCount;
    const char* label;
    int position;
    bool busy;
  } reports[] = {
      {1048576, 0, "已下载0%", 0, false},
      {1048576, 524288, "已下载50%", 50, false},
      {1048576, 1048575, "已下载99%", 99, false},  // never rounded up
      {100, 53, "已下载52%", 52, false},           // the shared truncating percentage
      {1048576, 1048576, "已下载100%", 100, false},
      // No usable size: a busy bar and the amount, never a negative percentage.
      {-1, 0, "已下载0 KB", 100, true},
      {-1, 1536, "已下载1 KB", 100, true},
      {0, 1048575, "已下载1023 KB", 100, true},
      {-1, 2097152, "已下载2.0 MB", 100, true},
  };
  for (const auto& r : reports) {
    bool abort = false;
    form_.DownloadClientReceiveData(r.contentLength, r.readCount, abort);
    EXPECT_FALSE(abort);
    EXPECT_EQ(form_.View().Label4Caption, r.label);
    EXPECT_EQ(form_.View().ProgressBar1Position, r.position) << r.label;
    EXPECT_EQ(form_.View().ProgressBar1Busy, r.busy) << r.label;
    ASSERT_FALSE(screen_.painted.empty());
    EXPECT_EQ(screen_.painted.back(), form_.View()) << "shown at once";
  }
}

TEST_F(DownloadFormTest, TheSpeedIsMeasuredOverAQuarterSecondAndSmoothed) {
  const struct {
    std::uint32_t startTick;
    std::vector<std::tuple<std::uint32_t, std::int64_t, const char*>> reports;  // tick, bytes so far, speed shown
  } cases[] = {
      {1000,
       {{1000, 0, ""},
        {1100, 100000, ""},             // too soon to tell
        {1500, 512000, "1000 KB/s"},    // 512000 bytes in 500 ms
        {2000, 1536000, "1.3 MB/s"},    // 2048000/s now, 0.7 * 1024000 + 0.3 * 2048000 on the whole
        {2100, 2000000, "1.3 MB/s"}}},  // too soon again: unchanged
      {0xFFFFFF00u, {{0xFFFFFF00u, 0, ""}, {0x00000100u, 1048576, "2.0 MB/s"}}},  // the tick count wraps
  };
  for (const auto& c : cases) {
    SetClock clock;
    clock.tick = c.startTick;
    TDownloadForm form(screen_, dispatcher_, timers_, clock);
    for (const auto& [tick, bytes, speed] : c.reports) {
      clock.tick = tick;
      bool abort = false;
      form.DownloadClientReceiveData(-1, bytes, abort);
      EXPECT_EQ(form.View().SpeedCaption, speed) << "at tick " << tick;
    }
  }
}

// Once the speed is known and the size announced, the time left stands beside it,
// in whole seconds rounded up.
TEST_F(DownloadFormTest, TheTimeLeftStandsBesideTheSpeedOnceTheSizeIsKnown) {
  const struct {
    std::int64_t size;       // announced; -1: none
    std::int64_t readAt500;  // bytes after 500 ms: the speed is twice this a second
    const char* shown;
  } cases[] = {
      {-1, 512000, "1000 KB/s"},                                // no size: no time left
      {1024000 * 46, 512000, "1000 KB/s  剩余 46秒"},           // 45.5 s left, as 1000 KB/s goes
      {1024000 * 65, 512000, "1000 KB/s  剩余 1分05秒"},        // 64.5 s
      {1024000LL * 7600, 512000, "1000 KB/s  剩余 2小时06分"},  // 7599.5 s
      {512000, 512000, "1000 KB/s"},                            // all there: nothing left to wait for
  };
  for (const auto& c : cases) {
    SetClock clock;
    clock.tick = 1000;
    TDownloadForm form(screen_, dispatcher_, timers_, clock);
    bool abort = false;
    form.DownloadClientReceiveData(c.size, 0, abort);
    clock.tick = 1500;
    form.DownloadClientReceiveData(c.size, c.readAt500, abort);
    EXPECT_EQ(form.View().SpeedCaption, c.shown) << c.size;
  }
}

TEST_F(DownloadFormTest, CountsUpToTheAnnouncedSize) {
  ASSERT_EQ(form_.Download(Request("/sized/1048576"), file_), DownloadResult::Completed);
  EXPECT_EQ(file_.size, 1048576u);
  EXPECT_EQ(Part().size(), 1048576u);
  ASSERT_FALSE(screen_.painted.empty());
  EXPECT_EQ(screen_.painted.front().Label5Caption, "下载中 abc ...");
  const auto progress = Progress();
  ASSERT_GE(progress.size(), 3u);
  std::vector<int> positions;
  std::vector<std::string> labels;
  for (const DownloadView& view : progress) {
    positions.push_back(view.ProgressBar1Position);
    labels.push_back(view.Label4Caption);
    EXPECT_FALSE(view.ProgressBar1Busy);
  }
  EXPECT_EQ(labels.front(), "已下载0%");  // the first report comes before the body
  EXPECT_EQ(labels.back(), "已下载100%");
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  // Somewhere between: a report at least every half a megabyte.
  EXPECT_NE(std::find_if(positions.begin(), positions.end(), [](int p) { return p > 0 && p < 100; }), positions.end());
}

TEST_F(DownloadFormTest, ShowsABusyBarAndTheAmountWithoutASize) {
  ASSERT_EQ(form_.Download(Request("/unsized/2097152"), file_), DownloadResult::Completed);
  EXPECT_EQ(Part().size(), 2097152u);
  const auto progress = Progress();
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front().Label4Caption, "已下载0 KB");
  EXPECT_EQ(progress.back().Label4Caption, "已下载2.0 MB");
  for (const DownloadView& view : progress) EXPECT_TRUE(view.ProgressBar1Busy) << view.Label4Caption;
}

// An empty body is a whole (empty) file; an error page is no file at all: the
// dialog tries again, then gives up, and the page never reaches the part file.
TEST_F(DownloadFormTest, AnEmptyBodyIsAFileAndAnErrorPageIsNone) {
  ASSERT_EQ(form_.Download(Request("/empty"), file_), DownloadResult::Completed);
  EXPECT_EQ(file_.size, 0u);
  EXPECT_EQ(Part(), "");
  EXPECT_EQ(form_.View(), (DownloadView{"下载中 abc ...", "已下载0 KB", 0, true, ""}));

  test::QueueDispatcher dispatcher;
  test::DispatcherTimers timers(dispatcher);
  ModalScreen screen(dispatcher);
  TDownloadForm form(screen, dispatcher, timers);
  form.SetRetryWaits({1ms, 1ms, 1ms}, [] { return 1.0; });
  EXPECT_EQ(form.Download(Request("/missing"), file_), DownloadResult::Failed);
  EXPECT_EQ(Part(), "");
  EXPECT_EQ(form.View().SpeedCaption, "网络不稳定,正在重试 (3/3)...");
}

TEST_F(DownloadFormTest, ClosingHalfwayIsACancelAndNoLaterReportArrives) {
  screen_.onPaint = [this](const DownloadView& view) {
    if (view.ProgressBar1Position >= 50 && !screen_.ended) form_.Image7Click();
  };
  EXPECT_EQ(form_.Download(Request("/sized/4194304"), file_), DownloadResult::Cancelled);
  const std::size_t shown = screen_.painted.size();
  EXPECT_LT(screen_.painted.back().ProgressBar1Position, 100);
  dispatcher_.RunUntil([] { return false; }, 300ms);  // what the worker still posts runs nothing
  EXPECT_EQ(screen_.painted.size(), shown);
  EXPECT_EQ(file_.size, 0u);
}

// Unreachable, the dialog says it retries, three times, about 1, 2 and 4
// seconds apart, then ends as failed.
TEST_F(DownloadFormTest, AnUnreachableServerIsRetriedThenEndsItAsFailed) {
  download::DownloadRequest request = Request("/");
  request.sources = {test::UnreachableUrl("/launcher.exe")};
  form_.SetRetryWaits({30ms, 60ms, 120ms});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(form_.Download(request, file_), DownloadResult::Failed);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms * 0.8 + 60ms * 0.8 + 120ms * 0.8);
  std::vector<std::string> captions;
  for (const DownloadView& view : screen_.painted) captions.push_back(view.SpeedCaption);
  EXPECT_EQ(captions, (std::vector<std::string>{"", "网络不稳定,正在重试 (1/3)...", "网络不稳定,正在重试 (2/3)...",
                                                "网络不稳定,正在重试 (3/3)..."}));
}

// Any close is a cancel, also one that comes before the modal loop starts; while
// termination is pending the loop does not run at all.
TEST_F(DownloadFormTest, EveryCloseIsACancelWheneverItComes) {
  const struct {
    const char* what;
    std::function<void(TDownloadForm&)> beforeTheLoop, inTheLoop;
    int loops;
  } cases[] = {
      {"the close image in the loop", nullptr, [](TDownloadForm& f) { f.Image7Click(); }, 1},
      {"a close request in the loop", nullptr, [](TDownloadForm& f) { f.CloseRequest(); }, 1},
      {"the close image before the loop", [](TDownloadForm& f) { f.Image7Click(); }, nullptr, 0},
      {"a close request before the loop", [](TDownloadForm& f) { f.CloseRequest(); }, nullptr, 0},
      {"termination pending", [](TDownloadForm&) { RequestTermination(); }, nullptr, 0},
  };
  for (const auto& c : cases) {
    ResetTerminationForTests();
    test::QueueDispatcher dispatcher;
    ModalScreen screen(dispatcher);
    test::DispatcherTimers timers(dispatcher);
    TDownloadForm form(screen, dispatcher, timers);
    screen.onPaint = [&](const DownloadView&) {
      if (c.beforeTheLoop) c.beforeTheLoop(form);
    };
    screen.onModal = [&] {
      if (c.inTheLoop) c.inTheLoop(form);
    };
    EXPECT_EQ(form.Download(Request("/held"), file_), DownloadResult::Cancelled) << c.what;
    EXPECT_EQ(screen.loops, c.loops) << c.what;
    if (c.loops) {
      EXPECT_EQ(screen.ended, TDownloadForm::kCancelled) << c.what;
    }
  }
}

}  // namespace
}  // namespace tandrel::forms

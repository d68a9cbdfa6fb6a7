// The download dialog's logic: what it shows for each progress report, its speed
// figure, and its modal result rules, against a loopback server, with a window
// whose modal loop runs the reports the client posts.
#include "core/forms/Termination.h"
#include "core/forms/uDownloadForm.h"

#include "support/LoopbackServer.h"
#include "support/QueueDispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace tandrel::forms {
namespace {

using namespace std::chrono_literals;

// Writes down what it shows; its modal loop runs posted reports until it is ended.
class ModalScreen final : public DownloadFormScreen {
 public:
  explicit ModalScreen(test::QueueDispatcher& dispatcher) : dispatcher_(dispatcher) {}
  void Paint(const DownloadView& view) override {
    painted.push_back(view);
    if (onPaint) onPaint(view);
  }
  int ShowModal() override {
    return RunUnlessTerminating([this] {
      ++loops;
      ended.reset();
      if (onModal) onModal();
      EXPECT_TRUE(dispatcher_.RunUntil([this] { return ended.has_value(); })) << "the dialog never ended";
      return ended.value_or(0);
    });
  }
  void EndModal(int result) override {
    EXPECT_FALSE(ended.has_value()) << "ended twice";
    ended = result;
  }

  std::vector<DownloadView> painted;
  std::function<void(const DownloadView&)> onPaint;
  std::function<void()> onModal;
  int loops = 0;
  std::optional<int> ended;

 private:
  test::QueueDispatcher& dispatcher_;
};

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

  test::LoopbackServer server_{"download"};
  test::QueueDispatcher dispatcher_;
  ModalScreen screen_{dispatcher_};
  TDownloadForm form_{screen_, dispatcher_};
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
    TDownloadForm form(screen_, dispatcher_, clock);
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
    TDownloadForm form(screen_, dispatcher_, clock);
    bool abort = false;
    form.DownloadClientReceiveData(c.size, 0, abort);
    clock.tick = 1500;
    form.DownloadClientReceiveData(c.size, c.readAt500, abort);
    EXPECT_EQ(form.View().SpeedCaption, c.shown) << c.size;
  }
}

TEST_F(DownloadFormTest, CountsUpToTheAnnouncedSize) {
  http::Bytes buffer;
  long status = 0;
  ASSERT_EQ(form_.Download("abc", server_.Url("/sized/1048576"), buffer, &status), DownloadResult::Completed);
  EXPECT_EQ(buffer.size(), 1048576u);
  EXPECT_EQ(status, 200);
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
  EXPECT_NE(std::find(labels.begin(), labels.end(), "已下载50%"), labels.end());  // 524288 of 1048576
}

TEST_F(DownloadFormTest, ShowsABusyBarAndTheAmountWithoutASize) {
  http::Bytes buffer;
  ASSERT_EQ(form_.Download("abc", server_.Url("/unsized/2097152"), buffer), DownloadResult::Completed);
  EXPECT_EQ(buffer.size(), 2097152u);
  const auto progress = Progress();
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front().Label4Caption, "已下载0 KB");
  EXPECT_EQ(progress.back().Label4Caption, "已下载2.0 MB");
  for (const DownloadView& view : progress) EXPECT_TRUE(view.ProgressBar1Busy) << view.Label4Caption;
}

// An error page is delivered like a file, without progress reports (they come only
// below status 300); an empty body reports no usable size.
TEST_F(DownloadFormTest, AnErrorPageOrAnEmptyBodyIsAResponse) {
  const struct {
    const char* path;
    std::string body;
    long status;
    std::size_t reports;
    DownloadView shown;
  } cases[] = {
      {"/missing", "<html>not here</html>", 404, 0, {"下载中 abc ...", "已下载0%", 0, false, ""}},
      {"/empty", "", 200, 1, {"下载中 abc ...", "已下载0 KB", 0, true, ""}},
  };
  for (const auto& c : cases) {
    test::QueueDispatcher dispatcher;
    ModalScreen screen(dispatcher);
    TDownloadForm form(screen, dispatcher);
    http::Bytes buffer;
    long status = 0;
    ASSERT_EQ(form.Download("abc", server_.Url(c.path), buffer, &status), DownloadResult::Completed) << c.path;
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), c.body);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(screen.painted.size(), 1 + c.reports) << c.path;
    EXPECT_EQ(form.View(), c.shown) << c.path;
  }
}

TEST_F(DownloadFormTest, ClosingHalfwayIsACancelAndNoLaterReportArrives) {
  screen_.onPaint = [this](const DownloadView& view) {
    if (view.ProgressBar1Position >= 50 && !screen_.ended) form_.Image7Click();
  };
  http::Bytes buffer;
  EXPECT_EQ(form_.Download("abc", server_.Url("/sized/4194304"), buffer), DownloadResult::Cancelled);
  EXPECT_TRUE(buffer.empty());
  const std::size_t shown = screen_.painted.size();
  EXPECT_LT(screen_.painted.back().ProgressBar1Position, 100);
  dispatcher_.RunUntil([] { return false; }, 300ms);  // what the worker still posts runs nothing
  EXPECT_EQ(screen_.painted.size(), shown);
  EXPECT_TRUE(buffer.empty());
}

TEST_F(DownloadFormTest, AnUnreachableServerEndsItAsFailed) {
  const std::string unreachable = test::UnreachableUrl("/launcher.exe");
  http::Bytes buffer;
  EXPECT_EQ(form_.Download("abc", unreachable, buffer), DownloadResult::Failed);
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(screen_.painted.size(), 1u);
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
    TDownloadForm form(screen, dispatcher);
    screen.onPaint = [&](const DownloadView&) {
      if (c.beforeTheLoop) c.beforeTheLoop(form);
    };
    screen.onModal = [&] {
      if (c.inTheLoop) c.inTheLoop(form);
    };
    http::Bytes buffer;
    EXPECT_EQ(form.Download("abc", server_.Url("/held"), buffer), DownloadResult::Cancelled) << c.what;
    EXPECT_EQ(screen.loops, c.loops) << c.what;
    if (c.loops) {
      EXPECT_EQ(screen.ended, TDownloadForm::kCancelled) << c.what;
    }
  }
}

}  // namespace
}  // namespace tandrel::forms

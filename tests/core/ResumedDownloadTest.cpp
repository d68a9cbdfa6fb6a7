// A launcher over a bad line, through the dialog's logic and the launch flow,
// against a loopback service that cuts, changes the file, ignores ranges or
// answers them wrongly: the launcher always ends up whole and checked, and what
// arrived before a cut is not fetched again.
#include "core/Paths.h"
#include "core/crypto.h"
#include "core/uGameRun.h"

#include "support/LauncherBox.h"
#include "support/LoopbackServer.h"
#include "support/ProofLines.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

// A launcher of some size that leaves its name in the proof file when it runs;
// the padding is a comment (Linux) or data after the program's image (Windows).
#ifdef _WIN32
const std::string kLauncher = test::ReadFile(TANDREL_PROOF_PROGRAM) + std::string(256 * 1024, '\0');
#else
const std::string kLauncher =
    "#!/bin/sh\necho \"$0\" >> \"$TANDREL_LAUNCHER_PROOF\"\nexit 0\n#" + std::string(768 * 1024, 'x') + "\n";
#endif

std::string Md5(const std::string& bytes) {
  return GetBytesMd5({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

// The byte counts of recorded lines, added up.
std::uint64_t Sum(const std::string& lines) {
  std::istringstream in(lines);
  std::uint64_t total = 0, n = 0;
  while (in >> n) total += n;
  return total;
}

class ResumedDownloadTest : public test::LauncherBox {
 protected:
  ResumedDownloadTest() : LauncherBox(kLauncher) {}
  fs::path Cache() const { return dir_ / "box" / "Downloads" / (name_ + ".Dat"); }
  fs::path Part() const { return dir_ / "box" / "Downloads" / (name_ + ".Dat.part"); }
  void Click(const std::string& content = kLauncher, std::vector<std::string> mirrors = {},
             const std::string& service = "") {
    TBoxConfig entry;
    entry.LauncherName = name_;
    entry.Md5 = Md5(content);
    GameRun(windows_, platform::SystemShell(), ExeDir(), "", nullptr, std::move(mirrors))
        .EnterGame(entry, service.empty() ? server_.Url("/") : service);
  }
  // The first click's dialog is closed once the line has broken at the cut: the
  // part file then holds exactly what came before it, as after a box that was killed.
  void ClickAndCloseAtTheCut(std::size_t cut) {
    server_.Set("cut-at", std::to_string(cut));
    windows_.onShown = [](forms::TDownloadForm& form, const forms::DownloadView& view) {
      if (view.SpeedCaption.starts_with("网络不稳定")) form.Image7Click();
    };
    Click();
    windows_.onShown = nullptr;
    ASSERT_EQ(test::ReadFile(Part()), kLauncher.substr(0, cut));
    ASSERT_FALSE(fs::exists(Cache()));
    server_.Take("sent");
    server_.Take("ranges");
  }

  std::string name_ = "abc";  // the launcher's
};

// Cut at 30 % and at 60 %: the dialog resumes on its own each time, says so, and
// the whole launcher has cost hardly more than its size.
TEST_F(ResumedDownloadTest, CutTwiceTheDialogResumesAndFinishes) {
  const std::size_t size = kLauncher.size();
  server_.Set("cut-at", std::to_string(size * 3 / 10) + "," + std::to_string(size * 6 / 10));
  Click();
  EXPECT_EQ(test::ReadFile(Cache()), kLauncher);
  EXPECT_FALSE(fs::exists(Part()));
  EXPECT_EQ(test::WaitForProofLines(proof_, 1), InBox("Tmp", "abc.exe") + "\n");
  EXPECT_EQ(server_.Take("ranges"),
            "-\nbytes=" + std::to_string(size * 3 / 10) + "-\nbytes=" + std::to_string(size * 6 / 10) + "-\n");
  EXPECT_LT(Sum(server_.Take("sent")), size * 11 / 10);
  std::vector<std::string> captions;
  for (const auto& view : windows_.shown) {
    if (view.SpeedCaption.starts_with("网络")) captions.push_back(view.SpeedCaption);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"网络不稳定,正在重试 (1/3)...", "网络不稳定,正在重试 (2/3)..."}));
  EXPECT_TRUE(windows_.errors.empty());
}

// Closed (or killed) half-way, the next click asks only for the rest.
TEST_F(ResumedDownloadTest, TheNextClickResumesFromThePartFile) {
  const std::size_t half = kLauncher.size() / 2;
  ClickAndCloseAtTheCut(half);
  EXPECT_TRUE(windows_.errors.empty());  // the player closed it: nothing to say
  Click();
  EXPECT_EQ(test::ReadFile(Cache()), kLauncher);
  EXPECT_EQ(server_.Take("ranges"), "bytes=" + std::to_string(half) + "-\n");
  EXPECT_EQ(Sum(server_.Take("sent")), kLauncher.size() - half);
  EXPECT_FALSE(fs::exists(Part()));
  EXPECT_FALSE(fs::exists(dir_ / "box" / "Downloads" / (name_ + ".Dat.part.info")));
}

// Whatever the service does with the request for the rest, the launcher ends up
// whole and checked: a new file, ranges ignored, a range that does not continue
// the part file, a part file longer than the file now is.
TEST_F(ResumedDownloadTest, ServicesThatCannotContinueThePartFileGiveTheWholeFile) {
  const std::string changed = kLauncher + "#2\n";
  const struct {
    const char* what;
    std::function<void(test::LoopbackServer&)> then;
    std::string served;
    std::string ranges;  // asked after the cut
  } cases[] = {
      {"a new file, another ETag",
       [&](test::LoopbackServer& s) {
         s.Set("launcher", changed);
         s.Set("etag", "\"2\"");
       },
       changed, "bytes=*-\n"},
      {"ranges ignored", [](test::LoopbackServer& s) { s.Set("ignore-range", "1"); }, kLauncher, "bytes=*-\n"},
      {"a range that does not continue", [](test::LoopbackServer& s) { s.Set("bad-range", "1"); }, kLauncher,
       "bytes=*-\n-\n"},
      {"a file shorter than the part", [](test::LoopbackServer& s) { s.Set("launcher", "short"); }, "short",
       "bytes=*-\n-\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // A launcher of its own each time: Windows keeps the last one's launch copy while it runs.
    name_ = "abc" + std::to_string(&c - cases);
    server_.Set("launcher", kLauncher);
    server_.Set("etag", "\"1\"");
    server_.Set("ignore-range", "");
    server_.Set("bad-range", "");
    fs::remove_all(dir_ / "box" / "Downloads");
    ClickAndCloseAtTheCut(kLauncher.size() / 2);
    c.then(server_);
    Click(c.served);
    ASSERT_TRUE(fs::exists(Cache()));
    EXPECT_EQ(test::ReadFile(Cache()), c.served);
    EXPECT_FALSE(fs::exists(Part()));
    std::string ranges = server_.Take("ranges");
    const std::string asked = "bytes=" + std::to_string(kLauncher.size() / 2) + "-";
    if (ranges.starts_with(asked)) ranges.replace(0, asked.size(), "bytes=*-");
    EXPECT_EQ(ranges, c.ranges);
    // Only the launch itself may fail here ("short" is no program): nothing about the download.
    for (const std::string& error : windows_.errors) EXPECT_EQ(error.find("下载"), std::string::npos) << error;
  }
}

// A part file spoilt on disk fails the final check over the whole file: nothing
// is kept, and the next click fetches it whole.
TEST_F(ResumedDownloadTest, ACorruptedPartFileIsNeverKept) {
  ClickAndCloseAtTheCut(kLauncher.size() / 2);
  std::string spoilt = test::ReadFile(Part());
  spoilt[100] = static_cast<char>(spoilt[100] ^ 0x55);
  test::WriteFile(Part(), spoilt);
  Click();
  EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:系统错误"});
  EXPECT_FALSE(fs::exists(Cache()));
  EXPECT_FALSE(fs::exists(Part()));
  Click();
  EXPECT_EQ(test::ReadFile(Cache()), kLauncher);
  EXPECT_EQ(server_.Take("ranges"), "bytes=" + std::to_string(kLauncher.size() / 2) + "-\n-\n");
}

// The service down, a mirror up: the launcher comes from the mirror and passes
// its checks. A mirror that serves other bytes is trusted for nothing.
TEST_F(ResumedDownloadTest, AMirrorServesWhenTheServiceFailsAndTheDigestDecides) {
  test::LoopbackServer mirror("launcher-service");
  mirror.Set("launcher", kLauncher);
  const std::string down = test::UnreachableUrl("/");
  Click(kLauncher, {mirror.Url("/")}, down);
  EXPECT_EQ(test::ReadFile(Cache()), kLauncher);
  EXPECT_EQ(mirror.Take("ranges"), "-\n");
  EXPECT_TRUE(windows_.errors.empty());

  fs::remove_all(dir_ / "box" / "Downloads");
  mirror.Set("launcher", kLauncher + "tampered");
  Click(kLauncher, {mirror.Url("/")}, down);
  EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:系统错误"});
  EXPECT_FALSE(fs::exists(Cache()));
  EXPECT_FALSE(fs::exists(Part()));
  // The service answering an error page hands over to the mirror as well.
  Click(kLauncher, {mirror.Url("/")}, server_.Url("/missing/"));
  EXPECT_EQ(windows_.errors.size(), 2u);
}

}  // namespace
}  // namespace tandrel

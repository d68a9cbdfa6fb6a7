// The enter-game and web-site buttons' flow with real folders, a real loopback
// service and real launcher processes that prove they were started.
#include "core/FileIo.h"
#include "core/Paths.h"
#include "core/crypto.h"
#include "core/http/SystemClient.h"
#include "core/uGameRun.h"

#include "support/LauncherBox.h"
#include "support/LoopbackServer.h"
#include "support/ProofLines.h"
#include "support/RefusingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "support/Commands.h"
#endif

#include <chrono>
#include <fstream>
#include <csignal>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The launcher leaves its name in the proof file named by the environment.
#ifdef _WIN32
const std::string kLauncher = test::ReadFile(TANDREL_PROOF_PROGRAM);
#else
const std::string kLauncher = "#!/bin/sh\necho \"$0\" >> \"$TANDREL_LAUNCHER_PROOF\"\n";
#endif

class GameRunTest : public test::LauncherBox {
 protected:
  GameRunTest() : LauncherBox(kLauncher) {}
  GameRun Flow(const std::string& suffix = "") { return GameRun(windows_, platform::SystemShell(), ExeDir(), suffix); }
  TBoxConfig Entry(const std::string& name, const std::string& md5) {
    TBoxConfig e;
    e.LauncherName = name;
    e.Md5 = md5;
    return e;
  }
  std::string Md5Of(const std::string& bytes) {
    test::WriteFile(dir_ / "digest.tmp", bytes);
    return GetFileMd5((dir_ / "digest.tmp").string());
  }
  // The proof lines written by started launchers, waited for a while.
  std::string Proof(std::size_t lines) { return test::WaitForProofLines(proof_, lines); }
  // Windows keeps a running program's file from being replaced: the next launch
  // waits until the last one has started and ended.
  void AwaitLauncherEnd([[maybe_unused]] std::size_t launches) {
#ifdef _WIN32
    Proof(launches);
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!std::ofstream(PathFromUtf8(InBox("Tmp", "abc.exe")), std::ios::app) &&
           std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(50ms);
    }
#endif
  }
};

TEST_F(GameRunTest, DownloadsVerifiesAndStartsThenStartsFromTheCache) {
  const std::string md5 = Md5Of(kLauncher);
  fs::remove_all(dir_ / "box");  // not even the box's folder: the flow makes what it needs
  fs::create_directories(dir_ / "box");
  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));
  EXPECT_EQ(windows_.downloads, std::vector<std::string>{"abc"});  // the dialog names the launcher
  EXPECT_EQ(test::ReadFile(InBox("Downloads", "abc.Dat")), kLauncher);
  EXPECT_EQ(Proof(1), InBox("Tmp", "abc.exe\n"));

  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));  // valid cache: no download
  EXPECT_EQ(windows_.downloads.size(), 1u);
  EXPECT_EQ(Proof(2), InBox("Tmp", "abc.exe\n") + InBox("Tmp", "abc.exe\n"));
  EXPECT_TRUE(windows_.errors.empty());
}

// A launcher or page the system will not start is said once, in the system's
// words; the launcher stays in the cache for the next click.
TEST_F(GameRunTest, WhatTheSystemWillNotStartOrOpenIsSaidOnce) {
  test::RefusingShell shell;
  GameRun flow(windows_, shell, ExeDir(), "");
  flow.EnterGame(Entry("abc", Md5Of(kLauncher)), server_.Url("/"));
  EXPECT_EQ(shell.asked, std::vector<std::string>{Utf8FromPath(PathFromUtf8(InBox("Tmp", "abc.exe")))});
  EXPECT_EQ(test::ReadFile(InBox("Downloads", "abc.Dat")), kLauncher);
  TBoxConfig site;
  site.Url = "www.example.com/zone/3";
  flow.OpenWebSite(site);
  EXPECT_EQ(windows_.errors, (std::vector<std::string>{
                                 "提示:Cannot start \"" + shell.asked[0] + "\". " + shell.kWords,
                                 std::string("提示:Cannot open \"http://www.example.com/zone/3\". ") + shell.kWords,
                             }));
}

#ifndef _WIN32
// Linux runs the launcher itself: one it cannot run is the system's own refusal.
TEST_F(GameRunTest, ALauncherTheSystemCannotRunIsSaidInItsWords) {
  server_.Set("launcher", "no program at all");
  Flow().EnterGame(Entry("abc", Md5Of("no program at all")), server_.Url("/"));
  EXPECT_EQ(windows_.errors,
            std::vector<std::string>{"提示:Cannot start \"" + InBox("Tmp", "abc.exe") + "\". Exec format error"});
}
#endif

TEST_F(GameRunTest, NamesTheLaunchCopyWithTheSuffix) {
  Flow("7").EnterGame(Entry("abc", Md5Of(kLauncher)), server_.Url("/"));
  EXPECT_EQ(Proof(1), InBox("Tmp", "abc-7.exe\n"));
  EXPECT_FALSE(fs::exists(InBox("Tmp", "abc.exe")));
}

TEST_F(GameRunTest, DigestsCompareWithAsciiLettersFolded) {
  const std::string md5 = Md5Of(kLauncher);
  std::string upper = md5;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(DigestMatches(md5, upper));
  EXPECT_FALSE(DigestMatches(md5, md5 + " "));
  EXPECT_FALSE(DigestMatches("", ""));
  EXPECT_FALSE(DigestMatches(md5, md5.substr(1)));

  Flow().EnterGame(Entry("abc", upper), server_.Url("/"));
  Flow().EnterGame(Entry("abc", upper), server_.Url("/"));
  EXPECT_EQ(windows_.downloads.size(), 1u);  // the upper-case digest matches the cache
  Proof(2);
}

// Only bytes that match the digest become the cache file: a mismatch says
// "系统错误" and keeps nothing, not even the part file; an error page is no
// launcher at all, said as a failed download once the retries are spent.
TEST_F(GameRunTest, AMismatchOrAnErrorPageKeepsNothing) {
  // A trailing blank never matches: one download per click, an error each time.
  const std::string md5 = Md5Of(kLauncher) + " ";
  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));
  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));
  EXPECT_EQ(windows_.downloads.size(), 2u);
  EXPECT_EQ(windows_.errors, (std::vector<std::string>{"提示:系统错误", "提示:系统错误"}));
  EXPECT_EQ(server_.Take("ranges"), "-\n-\n");  // nothing of the first was kept to resume
  EXPECT_FALSE(fs::exists(InBox("Downloads", "abc.Dat")));
  EXPECT_FALSE(fs::exists(InBox("Downloads", "abc.Dat.part")));
  EXPECT_FALSE(fs::exists(InBox("Tmp", "abc.exe")));

  Flow().EnterGame(Entry("missing", Md5Of(kLauncher)), server_.Url("/"));
  EXPECT_FALSE(fs::exists(InBox("Downloads", "missing.Dat")));
  EXPECT_FALSE(fs::exists(InBox("Downloads", "missing.Dat.part")));
  EXPECT_EQ(windows_.errors.back(), "提示:下载失败,请检查网络后重试");
}

TEST_F(GameRunTest, ACancelledDownloadTouchesNoFile) {
  fs::create_directories(ExeDir() + "Downloads");
  test::WriteFile(InBox("Downloads", "abc.Dat"), "old, invalid");
  windows_.cancel = true;
  Flow().EnterGame(Entry("abc", Md5Of(kLauncher)), server_.Url("/"));
  EXPECT_EQ(windows_.downloads.size(), 1u);
  EXPECT_EQ(test::ReadFile(InBox("Downloads", "abc.Dat")), "old, invalid");
  EXPECT_TRUE(windows_.errors.empty());
  EXPECT_FALSE(fs::exists(proof_));
}

// A connection closed half-way through the launcher is a failed download, never a
// cache file, whatever the transport took for the body's end.
TEST_F(GameRunTest, ACutLauncherNeverBecomesTheCacheFile) {
  server_.Set("launcher-cut", "1");
  Flow().EnterGame(Entry("abc", Md5Of(kLauncher)), server_.Url("/"));
  EXPECT_EQ(windows_.downloads, std::vector<std::string>{"abc"});
  EXPECT_FALSE(fs::exists(InBox("Downloads", "abc.Dat")));
  EXPECT_FALSE(fs::exists(InBox("Tmp", "abc.exe")));
  EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:下载失败,请检查网络后重试"});  // said once
}

TEST_F(GameRunTest, AChangedOrRemovedCacheIsDownloadedAgain) {
  const std::string md5 = Md5Of(kLauncher);
  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));
  AwaitLauncherEnd(1);
  test::WriteFile(InBox("Downloads", "abc.Dat"), "altered");
  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));
  AwaitLauncherEnd(2);
  EXPECT_EQ(windows_.downloads.size(), 2u);
  EXPECT_EQ(test::ReadFile(InBox("Downloads", "abc.Dat")), kLauncher);
  fs::remove_all(ExeDir() + "Downloads");
  Flow().EnterGame(Entry("abc", md5), server_.Url("/"));
  EXPECT_EQ(windows_.downloads.size(), 3u);
  Proof(3);
}

// Windows never lets a running program's file be replaced: there the copy fails
// as the system says, and only Linux can show the replacement.
#ifndef _WIN32
TEST_F(GameRunTest, ReplacesALaunchCopyEvenWhileItRuns) {
  // A running executable cannot be opened for writing on Linux; it can be renamed over.
  fs::create_directories(ExeDir() + "Tmp");
  fs::copy_file("/bin/sleep", InBox("Tmp", "abc.exe"));
  const auto running = test::RunCommand(test::ShellQuote(InBox("Tmp", "abc.exe")) + " 20 >/dev/null 2>&1 & echo $!");
  const int pid = std::stoi(running.output);
  std::this_thread::sleep_for(100ms);
  Flow().EnterGame(Entry("abc", Md5Of(kLauncher)), server_.Url("/"));
  ::kill(pid, SIGTERM);
  EXPECT_EQ(test::ReadFile(InBox("Tmp", "abc.exe")), kLauncher);
  EXPECT_EQ(Proof(1), InBox("Tmp", "abc.exe\n"));
  EXPECT_TRUE((fs::status(InBox("Tmp", "abc.exe")).permissions() & fs::perms::owner_exec) != fs::perms::none);
}

#endif

TEST_F(GameRunTest, RefusesLauncherNamesThatCouldLeaveTheCache) {
  for (const std::string& name :
       std::vector<std::string>{"", ".", "..", "../abc", "a/b", "a\\b", "a\nb", std::string("a\0b", 3)}) {
    Flow().EnterGame(Entry(name, Md5Of(kLauncher)), server_.Url("/"));
  }
  EXPECT_EQ(windows_.errors.size(), 8u);
  EXPECT_EQ(windows_.downloads.size(), 0u);
  EXPECT_FALSE(fs::exists(ExeDir() + "Downloads"));
  EXPECT_FALSE(fs::exists(dir_ / "abc.Dat"));
  EXPECT_TRUE(IsSafeLauncherName("游戏 客户端-1.2"));
}

// A site serves Windows players whatever it runs on: names Windows reads as a
// stream or a device are refused on both systems.
TEST(LauncherNames, WindowsStreamsAndDevicesAreRefusedEverywhere) {
  for (const char* name : {"a:b", "abc:stream", "CON", "con", "Con.txt", "NUL", "nul.exe", "AUX", "PRN", "COM1",
                           "com9.dat", "LPT1", "lpt9", "CON .txt"}) {
    EXPECT_FALSE(IsSafeLauncherName(name)) << name;
  }
  for (const char* name : {"CONSOLE", "COM10", "COM0", "LPT", "nullable", "aux-game", "corvessa_dawn", "a.con"}) {
    EXPECT_TRUE(IsSafeLauncherName(name)) << name;
  }
}

TEST_F(GameRunTest, AFolderThatCannotBeMadeIsAFailureWithTheSystemsText) {
  test::WriteFile(dir_ / "plain-file", "x");
  GameRun flow(windows_, platform::SystemShell(), FolderText(dir_ / "plain-file"), "");
  try {
    flow.EnterGame(Entry("abc", Md5Of(kLauncher)), server_.Url("/"));
    FAIL() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("Not a directory"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(proof_));
}

TEST(WebSiteAddress, OpensOnlyWebAddresses) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"https://www.example.com/zone/1", "https://www.example.com/zone/1"},
      {"HTTP://example.com", "HTTP://example.com"},
      {" http://example.com/ ", "http://example.com/"},
      {"www.example.com/s1", "http://www.example.com/s1"},
      {"", std::nullopt},
      {"file:///etc/passwd", std::nullopt},
      {"/usr/bin/xterm", std::nullopt},
      {"javascript:alert(1)", std::nullopt},
      {"ftp://example.com", std::nullopt},
      {"www.", std::nullopt},
      {"example.com", std::nullopt},
  };
  for (const auto& [url, address] : cases) EXPECT_EQ(WebSiteAddress(url), address) << url;
}

// The desktop's handler is a program on the PATH only on Linux; on Windows the
// shell opens the address itself.
#ifndef _WIN32
TEST(WebSiteButton, OpensTheAddressWithTheDesktopsHandler) {
  // A stand-in xdg-open on the PATH records what the desktop would open.
  test::TempDir dir;
  test::WriteFile(dir / "xdg-open", "#!/bin/sh\necho \"$1\" >> \"" + (dir / "opened").string() + "\"\n");
  fs::permissions(dir / "xdg-open", fs::perms(0755));
  const std::string path = std::getenv("PATH");
  setenv("PATH", (dir.path().string() + ":" + path).c_str(), 1);
  struct NoWindows final : BoxWindows {
    DownloadResult Download(const download::DownloadRequest&, download::DownloadedFile&) override {
      return DownloadResult::Cancelled;
    }
    void ShowError(const std::string&, const std::string&) override {}
  } windows;
  GameRun flow(windows, platform::SystemShell(), (dir / "box/").string(), "");
  TBoxConfig entry;
  entry.Url = "file:///etc/passwd";
  flow.OpenWebSite(entry);
  entry.Url = "";
  flow.OpenWebSite(entry);
  entry.Url = "www.example.com/zone/3";
  flow.OpenWebSite(entry);
  for (int i = 0; i < 100 && !fs::exists(dir / "opened"); ++i) std::this_thread::sleep_for(20ms);
  setenv("PATH", path.c_str(), 1);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(test::ReadFile(dir / "opened"), "http://www.example.com/zone/3\n");
}

#endif

}  // namespace
}  // namespace tandrel

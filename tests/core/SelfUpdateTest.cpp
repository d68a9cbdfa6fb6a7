// The update check and the replacement of the running box, against a loopback
// service, with real files and a real new box that proves it was started.
#include "core/EventLoop.h"
#include "core/Relocation.h"
#include "core/SelfUpdate.h"
#include "core/Paths.h"
#include "core/crypto.h"
#include "core/http/SystemClient.h"

#include "support/DirectWindows.h"
#include "support/LoopbackServer.h"
#include "support/ProofLines.h"
#include "support/RefusingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kBox = test::ProgramFileName("box");
const std::string kAuth = site::BasicAuthorization(std::string(32, 'a'), std::string(32, 'b'));

class SelfUpdateTest : public ::testing::Test {
 protected:
  SelfUpdateTest() {
    proof_ = Utf8FromPath(dir_ / "proof");
    test::SetEnvironment("TANDREL_LAUNCHER_PROOF", proof_);
    test::WriteFile(Exe(), "the old box, running");
    fs::permissions(Exe(), fs::perms(0755));
    Serve(newBox_);
  }
  std::string Exe() const { return Utf8FromPath(dir_ / kBox); }
  SelfUpdate Update(const std::string& url, platform::ExecutableSwap& swap = platform::SystemExecutableSwap(),
                    platform::Shell& shell = platform::SystemShell()) {
    return SelfUpdate(
        client_, windows_, shell, Exe(), [url] { return ServiceSite{url, kAuth, {}, {}, {}, {}}; },
        [this] { ++terminations_; }, swap);
  }
  bool Check() { return Update(server_.Url("/")).CheckSelfUpdate(); }
  void Answer(const std::string& answer) { server_.Set("answer", answer); }
  void Serve(const std::string& box, int status = 200) {
    server_.Set("new-box", box);
    server_.Set("new-box-status", std::to_string(status));
  }
  std::string Proof() { return test::WaitForProofLines(proof_, 1); }
  void ExpectUnchanged() {
    EXPECT_EQ(test::ReadFile(Exe()), "the old box, running");
    EXPECT_FALSE(fs::exists(Exe() + ".new"));
  }

  const std::string newBox_ = test::ReadFile(TANDREL_PROOF_PROGRAM);
  test::TempDir dir_;
  std::string proof_;
  test::LoopbackServer server_{"update-service"};
  http::SystemClient client_;
  test::DirectWindows windows_;
  int terminations_ = 0;
};

TEST_F(SelfUpdateTest, OkMeansCurrentAndNothingElseDoes) {
  EXPECT_FALSE(Check());
  EXPECT_EQ(server_.Get("hash"), GetFileMd5(Exe()));
  EXPECT_EQ(server_.Get("authorization"), kAuth);
  EXPECT_EQ(windows_.downloads.size(), 0u);
  EXPECT_EQ(terminations_, 0);
  for (const std::string answer : {"OK", "ok\n", " ok", ""}) {
    windows_.cancel = true;  // update attempted; cancelled so nothing changes
    Answer(answer);
    EXPECT_TRUE(Check()) << answer;
  }
  EXPECT_EQ(windows_.downloads, std::vector<std::string>(4, "自动更新"));
  EXPECT_EQ(terminations_, 4);
  ExpectUnchanged();
}

TEST_F(SelfUpdateTest, AnUnreachableServiceIsNoReasonToUpdate) {
  EXPECT_FALSE(Update(test::UnreachableUrl("/")).CheckSelfUpdate());
  EXPECT_EQ(terminations_, 0);
}

TEST_F(SelfUpdateTest, ReplacesTheBoxKeepsABackupAndStartsTheNewOne) {
  Answer("update");
  test::WriteFile(Exe() + ".bak", "stale backup");
  EXPECT_TRUE(Check());
  EXPECT_EQ(terminations_, 1);
  EXPECT_EQ(test::ReadFile(Exe()), newBox_);
  EXPECT_EQ(test::ReadFile(Exe() + ".bak"), "the old box, running");
#ifndef _WIN32  // Windows has no execute permission: the name makes a program
  EXPECT_TRUE((fs::status(Exe()).permissions() & fs::perms::owner_exec) != fs::perms::none);
#endif
  EXPECT_EQ(Proof(), Exe() + "\n");
  // The new box's clean-up removes the backup.
  Relocation(platform::SystemShell(), Exe(), [] {}).CleanUpLeftovers();
  EXPECT_FALSE(fs::exists(Exe() + ".bak"));
  EXPECT_TRUE(windows_.errors.empty());
}

// The new box stays in place for the next start; this one goes on with its own.
TEST_F(SelfUpdateTest, ANewBoxTheSystemWillNotStartLeavesThisBoxToGoOn) {
  Answer("update");
  test::RefusingShell shell;
  EXPECT_FALSE(Update(server_.Url("/"), platform::SystemExecutableSwap(), shell).CheckSelfUpdate());
  EXPECT_EQ(shell.asked, std::vector<std::string>{Exe()});
  EXPECT_EQ(terminations_, 0);
  EXPECT_EQ(test::ReadFile(Exe()), newBox_);
  EXPECT_TRUE(windows_.errors.empty());
}

// A refused body is said once and the start goes on with the running box: ending
// would lock the player out at every start while the service serves it.
TEST_F(SelfUpdateTest, RefusesWhatIsNoWholeProgramForThisMachine) {
  Answer("update");
  const std::string program = newBox_;
  const std::vector<std::pair<std::string, int>> refused = {
      {program.substr(0, 999), 200},                         // under 1000 bytes
      {"<html>" + std::string(2000, 'x') + "</html>", 200},  // a page, not a program
      {program, 404},                                        // an error status
      {std::string("\x7F"
                   "ELF") +
           std::string(2000, '\0'),
       200},  // an ELF of no machine
  };
  for (const auto& [body, status] : refused) {
    Serve(body, status);
    windows_.errors.clear();
    EXPECT_FALSE(Check());
    EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:更新主程序失败,请重新试,或者联系管理员"});
    ExpectUnchanged();
  }
  EXPECT_EQ(terminations_, 0);

  const std::string smallest = program.substr(0, 1000);
  Serve(smallest);
#ifdef _WIN32
  // A Windows program names where its parts lie in the file: cut after 1000 bytes
  // it is no whole program. The whole one is taken (see above).
  EXPECT_FALSE(Check());
  ExpectUnchanged();
#else
  // 1000 bytes of a program for this machine are accepted.
  EXPECT_TRUE(Check());
  EXPECT_EQ(test::ReadFile(Exe()), smallest);
#endif
}

// A box without trust keys fetches itself from the service only: a mirror it
// was stamped with is never asked for it.
TEST_F(SelfUpdateTest, AnUnsignedBoxNeverFetchesItselfFromAMirror) {
  test::LoopbackServer mirror("launcher-service");
  mirror.Set("launcher", newBox_);
  Answer("update");
  Serve("<html>gone</html>", 404);
  SelfUpdate update(
      client_, windows_, platform::SystemShell(), Exe(),
      [&] { return ServiceSite{server_.Url("/"), kAuth, {}, {}, {}, {mirror.Url("/")}}; }, [this] { ++terminations_; });
  EXPECT_FALSE(update.CheckSelfUpdate());
  EXPECT_EQ(mirror.Take("ranges"), "");
  EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:更新主程序失败,请重新试,或者联系管理员"});
  ExpectUnchanged();
}

TEST_F(SelfUpdateTest, AFailedTransferIsSaidOnceAndTheBoxRunsOn) {
  Answer("update");
  server_.Set("new-box-cut", "1");  // the connection closes half-way through the box
  EXPECT_FALSE(Check());
  EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:更新主程序失败,请重新试,或者联系管理员"});
  EXPECT_EQ(terminations_, 0);
  ExpectUnchanged();
  EXPECT_FALSE(fs::exists(Exe() + ".bak"));
}

// An error page from the check with the running box served back (a proxy's "502
// Bad Gateway", say) would otherwise install and restart the same box at every
// start, the list never asked for.
TEST_F(SelfUpdateTest, TheRunningBoxServedBackIsNoUpdate) {
  Answer("<html>502 Bad Gateway</html>");
  test::WriteFile(Exe(), newBox_);
  EXPECT_FALSE(Check());
  EXPECT_EQ(windows_.downloads, std::vector<std::string>{"自动更新"});
  EXPECT_TRUE(windows_.errors.empty());
  EXPECT_EQ(terminations_, 0);
  EXPECT_EQ(test::ReadFile(Exe()), newBox_);
  EXPECT_FALSE(fs::exists(Exe() + ".new"));
  EXPECT_FALSE(fs::exists(Exe() + ".bak"));
}

// The system's swap, each step written into a log that the event loop writes too.
struct RecordingSwap final : platform::ExecutableSwap {
  std::vector<std::string>& log;
  bool failMove = false;
  explicit RecordingSwap(std::vector<std::string>& sink) : log(sink) {}
  void BackUp(const fs::path& exe, const fs::path& backup) override {
    fs::path incoming = exe;
    incoming += ".new";
    log.push_back("back up, the new box holding " + test::ReadFile(incoming).substr(0, 4));
    platform::SystemExecutableSwap().BackUp(exe, backup);
  }
  void MoveIntoPlace(const fs::path& incoming, const fs::path& exe) override {
    log.push_back("move into place");
    if (failMove) throw std::runtime_error("the disk is full");
    platform::SystemExecutableSwap().MoveIntoPlace(incoming, exe);
  }
  void UndoBackUp(const fs::path& exe, const fs::path& backup) override {
    log.push_back("undo");
    platform::SystemExecutableSwap().UndoBackUp(exe, backup);
  }
};

struct RecordingLoop final : QueuelessEventLoop {
  std::vector<std::string>& log;
  explicit RecordingLoop(std::vector<std::string>& sink) : log(sink) {}
  void PumpMessages() override { log.push_back("pump"); }
  void Sleep(std::uint32_t milliseconds) override {
    log.push_back("sleep");
    QueuelessEventLoop::Sleep(milliseconds);
  }
};

// On Windows the box's own name is free from the first rename to the second: a
// box killed then leaves nothing to start. Nothing may widen that moment.
TEST_F(SelfUpdateTest, NothingRunsBetweenTheTwoRenames) {
  Answer("update");
  std::vector<std::string> log;
  RecordingSwap swap(log);
  RecordingLoop loop(log);
  SetCurrentEventLoop(&loop);
  EXPECT_TRUE(Update(server_.Url("/"), swap).CheckSelfUpdate());
  SetCurrentEventLoop(nullptr);
  const std::vector<std::string> renames = {"back up, the new box holding " + newBox_.substr(0, 4), "move into place"};
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()), renames) << "the new box was written whole first";
  EXPECT_EQ(test::ReadFile(Exe()), newBox_);
  EXPECT_EQ(Proof(), Exe() + "\n");
}

TEST_F(SelfUpdateTest, ABoxThatCannotReplaceItselfSaysSoAndRunsOn) {
  Answer("update");
  const std::string failed = "提示:更新主程序失败,请重新试,或者联系管理员";
  // What stands in the way, made so even for root: a backup that cannot be removed,
  // a new file that cannot be written.
  const std::vector<std::pair<std::string, std::string>> obstacles = {
      {"a stale backup that is a folder", ".bak"},
      {"a folder where the new box is written", ".new"},
  };
  for (const auto& [what, suffix] : obstacles) {
    fs::create_directories(Exe() + suffix + "/inside");
    windows_.errors.clear();
    EXPECT_FALSE(Check()) << what;  // the list still loads in this run
    EXPECT_EQ(terminations_, 0) << what;
    EXPECT_EQ(windows_.errors, std::vector<std::string>{failed}) << what;
    EXPECT_EQ(test::ReadFile(Exe()), "the old box, running") << what;
    fs::remove_all(Exe() + suffix);
  }
  // The rename that puts the new box in place fails: it is undone at once, the
  // backup goes, the box stays.
  windows_.errors.clear();
  std::vector<std::string> log;
  RecordingSwap swap(log);
  swap.failMove = true;
  EXPECT_FALSE(Update(server_.Url("/"), swap).CheckSelfUpdate());
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()), (std::vector<std::string>{"move into place", "undo"}));
  EXPECT_EQ(terminations_, 0);
  EXPECT_EQ(windows_.errors, std::vector<std::string>{failed});
  ExpectUnchanged();
  EXPECT_FALSE(fs::exists(Exe() + ".bak"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1) << "only the box is left";
  // The next start tries again, and succeeds.
  EXPECT_TRUE(Check());
  EXPECT_EQ(test::ReadFile(Exe()), newBox_);
}

TEST_F(SelfUpdateTest, TheNextStartRemovesWhatAnInterruptedUpdateLeft) {
  for (const std::string& name : {kBox + ".new", "." + kBox + ".new.a1B2c3", kBox + ".bak"}) {
    test::WriteFile(dir_ / name, "left over");
  }
  const std::set<std::string> notOurs = {kBox + ".newer", "." + kBox + ".new.toolong", "other.new", "keep.txt"};
  for (const std::string& name : notOurs) test::WriteFile(dir_ / name, "not ours");
  Relocation(platform::SystemShell(), Exe(), [] {}).CleanUpLeftovers();
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_.path())) left.insert(entry.path().filename().string());
  std::set<std::string> kept = notOurs;
  kept.insert(kBox);
  EXPECT_EQ(left, kept);
}

TEST_F(SelfUpdateTest, AnUnreadableExecutableIsAFailure) {
  fs::remove(Exe());
  EXPECT_THROW(Check(), std::runtime_error);
}

}  // namespace
}  // namespace tandrel

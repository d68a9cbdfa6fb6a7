// The update check and the replacement of the running box, against a loopback
// service, with real files and a real new box that proves it was started.
#include "core/Relocation.h"
#include "core/SelfUpdate.h"
#include "core/crypto.h"
#include "core/http/CurlClient.h"

#include "support/DirectWindows.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kAuth = site::BasicAuthorization(std::string(32, 'a'), std::string(32, 'b'));

class SelfUpdateTest : public ::testing::Test {
 protected:
  SelfUpdateTest()
      : server_([this](httplib::Server& s) {
          s.Get("/getcode/", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            lastHash_ = req.get_param_value("hash");
            auth_ = req.get_header_value("Authorization");
            res.set_content(answer_, "text/plain");
          });
          s.Get("/getvalue/box.exe", [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            res.status = newBoxStatus_;
            res.set_content(newBox_, "application/octet-stream");
          });
        }) {
    proof_ = (dir_ / "proof").string();
    setenv("TANDREL_LAUNCHER_PROOF", proof_.c_str(), 1);
    test::WriteFile(Exe(), "the old box, running");
    fs::permissions(Exe(), fs::perms(0755));
    newBox_ = test::ReadFile(TANDREL_PROOF_PROGRAM);
  }
  std::string Exe() const { return (dir_ / "box").string(); }
  SelfUpdate Update(const std::string& url) {
    return SelfUpdate(
        client_, windows_, platform::SystemShell(), Exe(),
        [url] {
          return ServiceSite{url, kAuth, {}, {}};
        },
        [this] { ++terminations_; });
  }
  bool Check() { return Update(server_.Url("/")).CheckSelfUpdate(); }
  void Answer(const std::string& answer) {
    std::lock_guard lock(mutex_);
    answer_ = answer;
  }
  void Serve(const std::string& box, int status = 200) {
    std::lock_guard lock(mutex_);
    newBox_ = box;
    newBoxStatus_ = status;
  }
  std::string Proof() {
    for (int i = 0; i < 200 && !fs::exists(proof_); ++i) std::this_thread::sleep_for(20ms);
    return fs::exists(proof_) ? test::ReadFile(proof_) : "";
  }
  void ExpectUnchanged() {
    EXPECT_EQ(test::ReadFile(Exe()), "the old box, running");
    EXPECT_FALSE(fs::exists(Exe() + ".new"));
  }

  std::mutex mutex_;
  std::string answer_ = "ok", lastHash_, auth_, newBox_;
  int newBoxStatus_ = 200;
  test::TempDir dir_;
  std::string proof_;
  test::LoopbackServer server_;
  http::CurlClient client_;
  test::DirectWindows windows_;
  int terminations_ = 0;
};

TEST_F(SelfUpdateTest, OkMeansCurrentAndNothingElseDoes) {
  EXPECT_FALSE(Check());
  EXPECT_EQ(lastHash_, GetFileMd5(Exe()));
  EXPECT_EQ(auth_, kAuth);
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
  std::string gone;
  {
    test::LoopbackServer stopped([](httplib::Server&) {});
    gone = stopped.Url("/");
  }
  EXPECT_FALSE(Update(gone).CheckSelfUpdate());
  EXPECT_EQ(terminations_, 0);
}

TEST_F(SelfUpdateTest, ReplacesTheBoxKeepsABackupAndStartsTheNewOne) {
  Answer("update");
  test::WriteFile(Exe() + ".bak", "stale backup");
  EXPECT_TRUE(Check());
  EXPECT_EQ(terminations_, 1);
  EXPECT_EQ(test::ReadFile(Exe()), newBox_);
  EXPECT_EQ(test::ReadFile(Exe() + ".bak"), "the old box, running");
  EXPECT_TRUE((fs::status(Exe()).permissions() & fs::perms::owner_exec) != fs::perms::none);
  EXPECT_EQ(Proof(), Exe() + "\n");
  // The new box's clean-up removes the backup.
  Relocation(platform::SystemShell(), Exe(), [] {}).CleanUpLeftovers();
  EXPECT_FALSE(fs::exists(Exe() + ".bak"));
  EXPECT_TRUE(windows_.errors.empty());
}

TEST_F(SelfUpdateTest, RefusesWhatIsNoWholeProgramForThisMachine) {
  Answer("update");
  const std::string elf = test::ReadFile(TANDREL_PROOF_PROGRAM);
  const std::vector<std::pair<std::string, int>> refused = {
      {elf.substr(0, 999), 200},                             // under 1000 bytes
      {"<html>" + std::string(2000, 'x') + "</html>", 200},  // a page, not a program
      {elf, 404},                                            // an error status
      {std::string("\x7F"
                   "ELF") +
           std::string(2000, '\0'),
       200},  // an ELF of no machine
  };
  for (const auto& [body, status] : refused) {
    Serve(body, status);
    EXPECT_TRUE(Check());
    ExpectUnchanged();
  }
  EXPECT_EQ(windows_.errors.size(), refused.size());
  EXPECT_EQ(windows_.errors.front(), "提示:更新主程序失败,请重新试,或者联系管理员");

  // 1000 bytes of a program for this machine are accepted.
  std::string smallest = elf.substr(0, 1000);
  Serve(smallest);
  EXPECT_TRUE(Check());
  EXPECT_EQ(test::ReadFile(Exe()), smallest);
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
  // The rename that puts the new box in place fails: the backup goes, the box stays.
  windows_.errors.clear();
  SelfUpdate update = Update(server_.Url("/"));
  update.SetAfterBackupForTests([] { throw std::runtime_error("the disk is full"); });
  EXPECT_FALSE(update.CheckSelfUpdate());
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
  for (const std::string name : {"box.new", ".box.new.a1B2c3", "box.bak"}) test::WriteFile(dir_ / name, "left over");
  for (const std::string name : {"box.newer", ".box.new.toolong", "other.new", "keep.txt"}) {
    test::WriteFile(dir_ / name, "not ours");
  }
  Relocation(platform::SystemShell(), Exe(), [] {}).CleanUpLeftovers();
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_.path())) left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"box", "box.newer", ".box.new.toolong", "other.new", "keep.txt"}));
}

TEST_F(SelfUpdateTest, AnUnreadableExecutableIsAFailure) {
  fs::remove(Exe());
  EXPECT_THROW(Check(), std::runtime_error);
}

}  // namespace
}  // namespace tandrel

// Moving the box into its install folder and cleaning up after it, with real
// folders and a real started copy.
#include "core/Relocation.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class RelocationTest : public ::testing::Test {
 protected:
  RelocationTest() {
    proof_ = (dir_ / "proof").string();
    setenv("TANDREL_LAUNCHER_PROOF", proof_.c_str(), 1);
    fs::create_directories(dir_ / "Downloads");
    fs::copy_file(TANDREL_PROOF_PROGRAM, dir_ / "Downloads" / "box");
  }
  std::string Downloaded() const { return (dir_ / "Downloads" / "box").string(); }
  std::string Install() const { return (dir_ / "data" / "Corvessa").string(); }
  Relocation From(const std::string& exe) {
    return Relocation(platform::SystemShell(), exe, [this] { ++terminations_; });
  }
  std::string Proof() {
    for (int i = 0; i < 200 && !fs::exists(proof_); ++i) std::this_thread::sleep_for(20ms);
    return fs::exists(proof_) ? test::ReadFile(proof_) : "";
  }

  test::TempDir dir_;
  std::string proof_;
  int terminations_ = 0;
};

TEST_F(RelocationTest, MovesInTwoRuns) {
  // Run 1, from the download folder: copy, hand-off file, start of the copy, end.
  EXPECT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  EXPECT_EQ(terminations_, 1);
  const std::string copy = Install() + "/box";
  EXPECT_EQ(test::ReadFile(copy), test::ReadFile(Downloaded()));
  EXPECT_TRUE((fs::status(copy).permissions() & fs::perms::owner_exec) != fs::perms::none);
  EXPECT_EQ(test::ReadFile(Install() + "/del.dat"), Downloaded());  // no BOM, no line end
  EXPECT_EQ(Proof(), copy + "\n");

  // Run 2, the copy: in place, and its clean-up removes what run 1 left.
  EXPECT_FALSE(From(copy).RelocateIfNeeded(Install()));
  test::WriteFile(copy + ".bak", "an update's backup");
  From(copy).CleanUpLeftovers();
  EXPECT_FALSE(fs::exists(Install() + "/del.dat"));
  EXPECT_FALSE(fs::exists(Downloaded()));
  EXPECT_FALSE(fs::exists(copy + ".bak"));
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_EQ(terminations_, 1);
}

TEST_F(RelocationTest, MovesAgainToARoomierDriveOverAnOldCopy) {
  const std::string first = Install() + "/box";
  ASSERT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  const std::string roomier = (dir_ / "games" / "Corvessa").string();
  fs::create_directories(roomier);
  test::WriteFile(roomier + "/box", "an older copy");
  ASSERT_TRUE(From(first).RelocateIfNeeded(roomier));
  EXPECT_EQ(test::ReadFile(roomier + "/box"), test::ReadFile(first));
  EXPECT_EQ(test::ReadFile(roomier + "/del.dat"), first);
  From(roomier + "/box").CleanUpLeftovers();
  EXPECT_FALSE(fs::exists(first));
}

TEST_F(RelocationTest, RunningFromTheInstallFolderThroughALinkIsInPlace) {
  ASSERT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  fs::create_directory_symlink(Install(), dir_ / "link");
  EXPECT_FALSE(From((dir_ / "link" / "box").string()).RelocateIfNeeded(Install()));
  // Letters are exact: another spelling is another folder here.
  fs::create_directories(dir_ / "data" / "corvessa");
  EXPECT_TRUE(From(Install() + "/box").RelocateIfNeeded((dir_ / "data" / "corvessa").string()));
}

TEST_F(RelocationTest, TheHandOffFileNeverDeletesAnythingButTheOldBox) {
  fs::create_directories(Install());
  const std::string running = Install() + "/box";
  fs::copy_file(Downloaded(), running);
  const auto cleanUpWith = [&](const std::string& named) {
    test::WriteFile(Install() + "/del.dat", named);
    From(running).CleanUpLeftovers();
    EXPECT_FALSE(fs::exists(Install() + "/del.dat")) << named;
  };
  cleanUpWith((dir_ / "nowhere" / "box").string());  // a missing file: only the hand-off file goes
  test::WriteFile(dir_ / "precious.txt", "keep");
  cleanUpWith((dir_ / "precious.txt").string());  // another name: an unrelated file stays
  EXPECT_TRUE(fs::exists(dir_ / "precious.txt"));
  cleanUpWith(running);  // never the running box itself
  EXPECT_TRUE(fs::exists(running));
  fs::create_directory_symlink(Install(), dir_ / "same");
  cleanUpWith((dir_ / "same" / "box").string());  // nor itself under another path
  EXPECT_TRUE(fs::exists(running));
}

TEST_F(RelocationTest, ReadsTheHandOffTextInEveryEncodingItMayHave) {
  EXPECT_EQ(DecodeHandOffText("/data/Corvessa/box"), "/data/Corvessa/box");
  EXPECT_EQ(DecodeHandOffText("\xEF\xBB\xBF/盒子/box"), "/盒子/box");
  EXPECT_EQ(DecodeHandOffText(std::string("\xFF\xFE/\0b\0", 6)), "/b");
  EXPECT_EQ(DecodeHandOffText("/\xBA\xD0\xD7\xD3/box"), "/盒子/box");  // code page 936
}

TEST_F(RelocationTest, AnInstallFolderThatCannotBeMadeIsAFailure) {
  test::WriteFile(dir_ / "file", "x");
  EXPECT_THROW(From(Downloaded()).RelocateIfNeeded((dir_ / "file" / "Corvessa").string()), std::runtime_error);
  EXPECT_EQ(terminations_, 0);
}

}  // namespace
}  // namespace tandrel

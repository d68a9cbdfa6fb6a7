// Moving the box into its install folder and cleaning up after it, with real
// folders and a real started copy.
#include "core/Paths.h"
#include "core/Relocation.h"

#include "support/ProofLines.h"
#include "support/RefusingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#ifndef _WIN32
#include <locale.h>
#endif

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kBox = test::ProgramFileName("box");

class RelocationTest : public ::testing::Test {
 protected:
  RelocationTest() {
    proof_ = Utf8FromPath(dir_ / "proof");
    test::SetEnvironment("TANDREL_LAUNCHER_PROOF", proof_);
    fs::create_directories(dir_ / "Downloads");
    fs::copy_file(TANDREL_PROOF_PROGRAM, dir_ / "Downloads" / kBox);
  }
  std::string Downloaded() const { return Utf8FromPath(dir_ / "Downloads" / kBox); }
  std::string Install() const { return Utf8FromPath(dir_ / "data" / "Corvessa"); }
  // A file in a folder given as text.
  static std::string In(const std::string& folder, const std::string& name) { return folder + kPathSeparator + name; }
  Relocation From(const std::string& exe) {
    return Relocation(platform::SystemShell(), exe, [this] { ++terminations_; });
  }
  std::string Proof() { return test::WaitForProofLines(proof_, 1); }

  test::TempDir dir_;
  std::string proof_;
  int terminations_ = 0;
};

TEST_F(RelocationTest, MovesInTwoRuns) {
  // Run 1, from the download folder: copy, hand-off file, start of the copy, end.
  EXPECT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  EXPECT_EQ(terminations_, 1);
  const std::string copy = In(Install(), kBox);
  EXPECT_EQ(test::ReadFile(copy), test::ReadFile(Downloaded()));
#ifndef _WIN32  // Windows has no execute permission: the name makes a program
  EXPECT_TRUE((fs::status(copy).permissions() & fs::perms::owner_exec) != fs::perms::none);
#endif
  EXPECT_EQ(test::ReadFile(In(Install(), "del.dat")), Downloaded());  // no BOM, no line end
  EXPECT_EQ(Proof(), copy + "\n");

  // Run 2, the copy: in place, and its clean-up removes what run 1 left.
  EXPECT_FALSE(From(copy).RelocateIfNeeded(Install()));
  test::WriteFile(copy + ".bak", "an update's backup");
  From(copy).CleanUpLeftovers();
  EXPECT_FALSE(fs::exists(In(Install(), "del.dat")));
  EXPECT_FALSE(fs::exists(Downloaded()));
  EXPECT_FALSE(fs::exists(copy + ".bak"));
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_EQ(terminations_, 1);
}

// Ending for a copy that never started would leave the player with no box at all.
TEST_F(RelocationTest, ACopyTheSystemWillNotStartLeavesThisBoxToGoOn) {
  test::RefusingShell shell;
  EXPECT_FALSE(Relocation(shell, Downloaded(), [this] { ++terminations_; }).RelocateIfNeeded(Install()));
  EXPECT_EQ(shell.asked, std::vector<std::string>{In(Install(), kBox)});
  EXPECT_EQ(terminations_, 0);
  EXPECT_FALSE(fs::exists(In(Install(), "del.dat")));  // no one is told to delete this box
  EXPECT_TRUE(fs::exists(Downloaded()));
}

TEST_F(RelocationTest, MovesAgainToARoomierDriveOverAnOldCopy) {
  const std::string first = In(Install(), kBox);
  ASSERT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  const std::string roomier = Utf8FromPath(dir_ / "games" / "Corvessa");
  fs::create_directories(roomier);
  test::WriteFile(In(roomier, kBox), "an older copy");
  ASSERT_TRUE(From(first).RelocateIfNeeded(roomier));
  EXPECT_EQ(test::ReadFile(In(roomier, kBox)), test::ReadFile(first));
  EXPECT_EQ(test::ReadFile(In(roomier, "del.dat")), first);
  From(In(roomier, kBox)).CleanUpLeftovers();
  EXPECT_FALSE(fs::exists(first));
}

// Links to folders need a privilege on Windows, and its file names ignore case.
#ifdef _WIN32
TEST_F(RelocationTest, TheInstallFolderInOtherLettersIsInPlace) {
  ASSERT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  std::string shouted = Install();
  for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_FALSE(From(In(Install(), kBox)).RelocateIfNeeded(shouted));
}
#else
TEST_F(RelocationTest, RunningFromTheInstallFolderThroughALinkIsInPlace) {
  ASSERT_TRUE(From(Downloaded()).RelocateIfNeeded(Install()));
  fs::create_directory_symlink(Install(), dir_ / "link");
  EXPECT_FALSE(From(Utf8FromPath(dir_ / "link" / kBox)).RelocateIfNeeded(Install()));
  // Letters are exact: another spelling is another folder here.
  fs::create_directories(dir_ / "data" / "corvessa");
  EXPECT_TRUE(From(In(Install(), kBox)).RelocateIfNeeded(Utf8FromPath(dir_ / "data" / "corvessa")));
}

#endif

TEST_F(RelocationTest, TheHandOffFileNeverDeletesAnythingButTheOldBox) {
  fs::create_directories(Install());
  const std::string running = In(Install(), kBox);
  fs::copy_file(Downloaded(), running);
  const auto cleanUpWith = [&](const std::string& named) {
    test::WriteFile(In(Install(), "del.dat"), named);
    From(running).CleanUpLeftovers();
    EXPECT_FALSE(fs::exists(In(Install(), "del.dat"))) << named;
  };
  cleanUpWith(Utf8FromPath(dir_ / "nowhere" / kBox));  // a missing file: only the hand-off file goes
  test::WriteFile(dir_ / "precious.txt", "keep");
  cleanUpWith(Utf8FromPath(dir_ / "precious.txt"));  // another name: an unrelated file stays
  EXPECT_TRUE(fs::exists(dir_ / "precious.txt"));
  cleanUpWith(running);  // never the running box itself
  EXPECT_TRUE(fs::exists(running));
#ifndef _WIN32  // links to folders need a privilege on Windows
  fs::create_directory_symlink(Install(), dir_ / "same");
  cleanUpWith(Utf8FromPath(dir_ / "same" / kBox));  // nor itself under another path
  EXPECT_TRUE(fs::exists(running));
#endif
}

TEST_F(RelocationTest, ReadsTheHandOffTextInEveryEncodingItMayHave) {
  EXPECT_EQ(DecodeHandOffText("/data/Corvessa/box"), "/data/Corvessa/box");
  EXPECT_EQ(DecodeHandOffText("\xEF\xBB\xBF/盒子/box"), "/盒子/box");
  EXPECT_EQ(DecodeHandOffText(std::string("\xFF\xFE/\0b\0", 6)), "/b");
}

#ifndef _WIN32  // Windows's turn runs under a Chinese system's code page (SystemCodePageTest)
TEST_F(RelocationTest, OtherHandOffBytesAreReadInTheSystemsCharacterSet) {
  const char* was = std::getenv("LC_ALL");
  const std::string before = was ? was : "";
  test::SetEnvironment("LC_ALL", "zh_CN.GBK");
  const locale_t gbk = newlocale(LC_CTYPE_MASK, "", nullptr);
  ASSERT_NE(gbk, nullptr) << "the zh_CN.GBK locale is missing (scripts/deps makes it)";
  freelocale(gbk);
  EXPECT_EQ(DecodeHandOffText("/\xBA\xD0\xD7\xD3/box"), "/盒子/box");
  test::SetEnvironment("LC_ALL", "C.UTF-8");
  EXPECT_EQ(DecodeHandOffText("/\xBA\xD0/box"), "/\xEF\xBF\xBD\xEF\xBF\xBD/box");
  if (was) test::SetEnvironment("LC_ALL", before);
  else unsetenv("LC_ALL");
}
#endif

TEST_F(RelocationTest, AnInstallFolderThatCannotBeMadeIsAFailure) {
  test::WriteFile(dir_ / "file", "x");
  EXPECT_THROW(From(Downloaded()).RelocateIfNeeded(Utf8FromPath(dir_ / "file" / "Corvessa")), std::runtime_error);
  EXPECT_EQ(terminations_, 0);
}

}  // namespace
}  // namespace tandrel

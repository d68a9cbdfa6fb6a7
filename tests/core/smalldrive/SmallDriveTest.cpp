// A launcher that will not fit on the player's drive, on a real small file
// system (a tmpfs the wrapper mounts and names in TANDREL_SMALL_DRIVE): the box
// says so before writing, and nothing half-written is left in the cache.
#include "core/Paths.h"
#include "core/crypto.h"
#include "core/uGameRun.h"

#include "support/DirectWindows.h"
#include "support/LoopbackServer.h"
#include "support/ProofLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

TEST(SmallDrive, ALauncherThatWillNotFitIsSaidBeforeAByteIsWritten) {
  const char* drive = std::getenv("TANDREL_SMALL_DRIVE");
  ASSERT_NE(drive, nullptr) << "run by the SmallDrive test, which mounts the small drive";
  const std::uint64_t free = fs::space(drive).available;
  ASSERT_LT(free, 8u << 20) << "no small drive at " << drive;
  const fs::path box = fs::path(drive) / "box";
  fs::create_directories(box);
  test::SetEnvironment("TANDREL_LAUNCHER_PROOF", (fs::path(drive) / "proof.txt").string());
  // It fits alone, but not with its launch copy; a smaller one fits with it.
  const std::string header = "#!/bin/sh\necho \"$0\" >> \"$TANDREL_LAUNCHER_PROOF\"\nexit 0\n#";
  const std::string large = header + std::string(free * 3 / 4, 'x') + "\n";
  const std::string small = header + std::string(free / 4, 'x') + "\n";
  test::LoopbackServer server("launcher-service");
  test::DirectWindows windows;
  const auto click = [&](const std::string& launcher) {
    server.Set("launcher", launcher);
    TBoxConfig entry;
    entry.LauncherName = "abc";
    entry.Md5 = GetBytesMd5({reinterpret_cast<const std::uint8_t*>(launcher.data()), launcher.size()});
    GameRun(windows, platform::SystemShell(), FolderText(box), "").EnterGame(entry, server.Url("/"));
  };

  click(large);
  EXPECT_EQ(windows.errors, std::vector<std::string>{"提示:磁盘空间不足,请清理后重试"});
  EXPECT_FALSE(fs::exists(box / "Downloads" / "abc.Dat"));
  EXPECT_FALSE(fs::exists(box / "Downloads" / "abc.Dat.part"));

  click(small);
  EXPECT_EQ(windows.errors.size(), 1u);
  EXPECT_EQ(test::ReadFile(box / "Downloads" / "abc.Dat"), small);
  EXPECT_EQ(test::WaitForProofLines((fs::path(drive) / "proof.txt").string(), 1),
            Utf8FromPath(box / "Tmp" / "abc.exe") + "\n");
}

}  // namespace
}  // namespace tandrel

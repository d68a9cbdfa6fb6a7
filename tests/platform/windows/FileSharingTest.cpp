// Reading files others hold open, and replacing files, the Windows way.
#include "core/Paths.h"
#include "platform/Files.h"

#include "support/TempDir.h"
#include "RunningCopy.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

namespace tandrel::platform {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  const auto file = OpenInputFile(path);
  std::string text;
  std::uint8_t buffer[3];
  while (const std::size_t n = file->Read(buffer)) text.append(reinterpret_cast<const char*>(buffer), n);
  return text;
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(Utf8FromPath(entry.path().filename()));
  return names;
}

void Replace(const fs::path& target, std::string_view bytes) {
  const auto file = CreateReplacementFile(target);
  file->Write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  file->Commit(fs::perms::owner_all);
}

TEST(WindowsFiles, ReadsWhileAnotherWritesAndLeavesOthersFreeToRenameIt) {
  test::TempDir dir;
  const fs::path file = dir / "list.dat";
  test::WriteFile(file, "before");
  // A writer that lets others read, as a download still in progress does.
  const HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(writer, "AFTER!!", 7, &written, nullptr);
  EXPECT_EQ(ReadAll(file), "AFTER!!");

  // While the box reads, the file may still be renamed by others.
  const auto reading = OpenInputFile(file);
  CloseHandle(writer);
  EXPECT_TRUE(MoveFileExW(file.c_str(), (dir / "moved.dat").c_str(), 0)) << GetLastError();
}

TEST(WindowsFiles, AMissingFileIsNamedInTheError) {
  test::TempDir dir;
  try {
    OpenInputFile(dir.path() / PathFromUtf8("缺少.dat"));
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("缺少.dat\". "), std::string::npos) << what;
    EXPECT_GT(what.size(), what.find("\". ") + 3) << what;  // the system's reason follows
  }
}

TEST(WindowsFiles, AReplacementTakesTheTargetsNameOnlyWhenCommitted) {
  test::TempDir dir;
  const fs::path target = dir / "box.exe";
  test::WriteFile(target, "old");
  {
    const auto file = CreateReplacementFile(target);
    file->Write({reinterpret_cast<const std::uint8_t*>("new"), 3});
    const auto names = Names(dir.path());
    ASSERT_EQ(names.size(), 2u);
    const std::string temp = names[0] == "box.exe" ? names[1] : names[0];
    EXPECT_TRUE(temp.starts_with(".box.exe.") && temp.size() == 15) << temp;
  }  // not committed
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"box.exe"});
  EXPECT_EQ(test::ReadFile(target), "old");

  Replace(target, "new");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"box.exe"});
  EXPECT_EQ(test::ReadFile(target), "new");
}

// Windows keeps a running program's file: the commit says so with the system's
// words and leaves nothing behind (the launcher copy still running is reported).
TEST(WindowsFiles, ARunningProgramIsNotReplaced) {
  test::TempDir dir;
  const fs::path exe = dir / "launcher.exe";
  const test::RunningCopy running(exe);
  ASSERT_TRUE(running.started());
  const auto size = fs::file_size(exe);
  try {
    Replace(exe, "new");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_TRUE(std::string(e.what()).starts_with("Cannot replace file \"" + Utf8FromPath(exe) + "\". ")) << e.what();
  }
  EXPECT_EQ(fs::file_size(exe), size);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"launcher.exe"});
}

}  // namespace
}  // namespace tandrel::platform

// The box's own process on Windows: what counts as a program, starting programs,
// and replacing the running executable.
#include "core/Paths.h"
#include "platform/Process.h"
#include "platform/windows/CommandLine.h"

#include "support/TempDir.h"
#include "RunningCopy.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace tandrel::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> OwnBytes() {
  std::ifstream in(ExecutablePath(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file header's offset: after the "PE\0\0" that e_lfanew points at.
std::size_t FileHeaderAt(const std::vector<std::uint8_t>& image) {
  LONG peAt = 0;
  std::memcpy(&peAt, image.data() + offsetof(IMAGE_DOS_HEADER, e_lfanew), sizeof peAt);
  return static_cast<std::size_t>(peAt) + 4;
}

template <typename T>
std::vector<std::uint8_t> With(std::vector<std::uint8_t> image, std::size_t at, T value) {
  std::memcpy(image.data() + at, &value, sizeof value);
  return image;
}

TEST(WindowsProcess, OnlyAWholeProgramForThisMachineIsExecutable) {
  const std::vector<std::uint8_t> own = OwnBytes();
  ASSERT_GT(own.size(), 4096u);
  EXPECT_TRUE(IsExecutableForThisMachine(own));

  const std::size_t header = FileHeaderAt(own);
  IMAGE_FILE_HEADER file{};
  std::memcpy(&file, own.data() + header, sizeof file);
  const std::size_t machineAt = header + offsetof(IMAGE_FILE_HEADER, Machine);
  const std::size_t characteristicsAt = header + offsetof(IMAGE_FILE_HEADER, Characteristics);
  std::vector<std::uint8_t> elf = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0};
  elf.resize(own.size());

  const std::pair<const char*, std::vector<std::uint8_t>> refused[] = {
      {"ELF", elf},
      {"cut off in the last section", std::vector<std::uint8_t>(own.begin(), own.begin() + own.size() / 2)},
      {"cut off in the headers", std::vector<std::uint8_t>(own.begin(), own.begin() + header + 8)},
      {"a DLL", With(own, characteristicsAt, static_cast<WORD>(file.Characteristics | IMAGE_FILE_DLL))},
      {"not marked executable",
       With(own, characteristicsAt, static_cast<WORD>(file.Characteristics & ~IMAGE_FILE_EXECUTABLE_IMAGE))},
      {"for 32-bit x86", With(own, machineAt, static_cast<WORD>(IMAGE_FILE_MACHINE_I386))},
      {"no PE signature", With(own, header - 4, static_cast<DWORD>(0))},
      {"e_lfanew past the end", With(own, offsetof(IMAGE_DOS_HEADER, e_lfanew), static_cast<LONG>(own.size()))},
      {"e_lfanew negative", With(own, offsetof(IMAGE_DOS_HEADER, e_lfanew), static_cast<LONG>(-64))},
  };
  for (const auto& [what, bytes] : refused) EXPECT_FALSE(IsExecutableForThisMachine(bytes)) << what;
}

TEST(WindowsProcess, CommandLinesSplitBackIntoTheSameWords) {
  const std::vector<std::wstring> arguments = {
      L"plain",           L"",         L"two words", L"say \"hi\"",        L"C:\\folder\\",
      L"C:\\my folder\\", L"a\\\\\"b", L"tab\there", L"\\\\server\\share", L"中文"};
  const std::wstring line = CommandLine(L"C:\\Program Files\\box.exe", arguments);
  int count = 0;
  wchar_t** words = CommandLineToArgvW(line.c_str(), &count);
  ASSERT_NE(words, nullptr);
  std::vector<std::wstring> split(words + 1, words + count);
  const std::wstring program = words[0];
  LocalFree(words);
  EXPECT_EQ(program, L"C:\\Program Files\\box.exe");
  EXPECT_EQ(split, arguments);
}

TEST(WindowsProcess, RunsAProgramFoundOnThePathAndGivesItsExitCode) {
  const std::optional<fs::path> cmd = FindProgram("cmd");
  ASSERT_TRUE(cmd);
  EXPECT_TRUE(fs::exists(*cmd)) << Utf8FromPath(*cmd);
  EXPECT_EQ(RunProgram(*cmd, {"/c", "exit 7"}), 7);
  EXPECT_EQ(FindProgram("no-such-program-anywhere"), std::nullopt);
  test::TempDir dir;
  EXPECT_EQ(RunProgram(dir / "missing.exe", {}), -1);
}

TEST(WindowsProcess, TheRunningExecutableMovesAsideForItsReplacement) {
  test::TempDir dir;
  const fs::path exe = dir / "box.exe", backup = dir / "box.exe.bak", incoming = dir / "box.exe.new";
  const test::RunningCopy running(exe);
  ASSERT_TRUE(running.started());
  const auto oldSize = fs::file_size(exe);
  test::WriteFile(incoming, "new box");

  ExecutableSwap& swap = SystemExecutableSwap();
  swap.BackUp(exe, backup);
  EXPECT_FALSE(fs::exists(exe));  // a rename: the name is free for the new program
  EXPECT_EQ(fs::file_size(backup), oldSize);
  swap.MoveIntoPlace(incoming, exe);
  EXPECT_EQ(test::ReadFile(exe), "new box");
  EXPECT_FALSE(fs::exists(incoming));
  EXPECT_THROW(swap.BackUp(exe, backup), std::runtime_error);  // a backup is never overwritten
}

TEST(WindowsProcess, AFailedReplacementPutsTheOldProgramBack) {
  test::TempDir dir;
  const fs::path exe = dir / "box.exe", backup = dir / "box.exe.bak";
  const test::RunningCopy running(exe);
  ASSERT_TRUE(running.started());
  const auto oldSize = fs::file_size(exe);

  ExecutableSwap& swap = SystemExecutableSwap();
  swap.BackUp(exe, backup);
  try {
    swap.MoveIntoPlace(dir / "box.exe.new", exe);  // the new program never arrived
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_TRUE(std::string(e.what()).starts_with("Cannot rename \"" + Utf8FromPath(dir / "box.exe.new") + "\" to \"" +
                                                  Utf8FromPath(exe) + "\". "))
        << e.what();
  }
  swap.UndoBackUp(exe, backup);
  EXPECT_EQ(fs::file_size(exe), oldSize);
  EXPECT_FALSE(fs::exists(backup));
}

}  // namespace
}  // namespace tandrel::platform

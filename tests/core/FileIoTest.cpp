#include "core/FileIo.h"
#include "core/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(WriteFileAtomically, ReplacesTheFileWholeWithTheGivenMode) {
  TempDir dir;
  const auto path = dir / "launcher.exe";
  test::WriteFile(path, "old contents that are longer");
  WriteFileAtomically(path, Bytes("new"), fs::perms(0755));
  EXPECT_EQ(test::ReadFile(path), "new");
#ifndef _WIN32  // Windows files have no such mode
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0755));
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temporary left
  EXPECT_EQ(ReadWholeFile(path), Bytes("new"));
}

TEST(WriteFileAtomically, FailsWithThePathAndLeavesNothingBehind) {
  TempDir dir;
  const auto path = dir / "no-such-folder" / "file";
  try {
    WriteFileAtomically(path, Bytes("x"));
    FAIL() << "no error for a missing folder";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("no-such-folder"), std::string::npos) << e.what();
  }
  // A folder standing where the file should go cannot be replaced by a file.
  fs::create_directory(dir / "taken");
  EXPECT_THROW(WriteFileAtomically(dir / "taken", Bytes("x")), std::runtime_error);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ReadWholeFile, NamesTheMissingFile) {
  TempDir dir;
  EXPECT_THROW(ReadWholeFile(dir / "missing"), std::runtime_error);
}

TEST(PathFromUtf8, NamesTheFileItsUtf8TextSpellsAndReadsBackTheSame) {
  TempDir dir;
  const std::string name = "桌面 Ärger \xF0\x9F\x8E\xAE.exe";  // two- to four-byte sequences
  const fs::path path = PathFromUtf8(Utf8FromPath(dir.path()) + "/" + name);
  EXPECT_TRUE(path.filename() == std::filesystem::path(u8"桌面 Ärger \U0001F3AE.exe"));
  EXPECT_EQ(Utf8FromPath(path.filename()), name);
  WriteFileAtomically(path, Bytes("x"));
  EXPECT_EQ(Utf8FromPath(fs::directory_iterator(dir.path())->path().filename()), name);
  EXPECT_EQ(ReadWholeFile(path), Bytes("x"));
}

}  // namespace
}  // namespace tandrel

#include "core/crypto.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace tandrel {
namespace {

using test::TempDir;

// What the system's own md5sum says of a file: the digest must match common tools.
std::string Md5sum(const std::filesystem::path& path) {
  const auto result = test::RunCommand("md5sum " + test::ShellQuote(path.string()));
  return result.output.substr(0, 32);
}

TEST(GetFileMd5, MatchesMd5sumAcrossBufferBoundaries) {
  TempDir dir;
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, kDigestBufferSize - 1,
                                 kDigestBufferSize, 3 * kDigestBufferSize + 17}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + size) & 0xFF);
    const auto path = dir / ("file-" + std::to_string(size));
    test::WriteFile(path, bytes);
    EXPECT_EQ(GetFileMd5(path), Md5sum(path)) << size << " bytes";
  }
  test::WriteFile(dir / "empty", "");
  EXPECT_EQ(GetFileMd5(dir / "empty"), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(GetFileMd5, HashesAFileThatAnotherHolderIsWriting) {
  TempDir dir;
  const auto path = dir / "growing.dat";
  const int writer = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "abc", 3), 3);
  EXPECT_EQ(GetFileMd5(path), "900150983cd24fb0d6963f7d28e17f72");
  ::close(writer);
}

TEST(GetFileMd5, NamesThePathAndTheReasonWhenItCannotOpen) {
  TempDir dir;
  const auto path = (dir / "missing.dat").string();
  try {
    GetFileMd5(path);
    FAIL() << "no error for a missing file";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
  }
  EXPECT_THROW(GetFileMd5(dir.path().string()), std::runtime_error);  // a folder cannot be read
}

}  // namespace
}  // namespace tandrel

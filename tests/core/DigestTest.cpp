#include "core/Paths.h"
#include "core/crypto.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

#ifdef _WIN32
#include "platform/windows/WideText.h"
#endif

namespace tandrel {
namespace {

using test::TempDir;

// What md5sum said of these files (recorded, so the test needs no such program):
// the digest must match common tools.
TEST(GetFileMd5, MatchesMd5sumAcrossBufferBoundaries) {
  TempDir dir;
  const std::vector<std::pair<std::size_t, std::string>> cases = {
      {0, "d41d8cd98f00b204e9800998ecf8427e"},
      {1, "55a54008ad1ba589aa210d2629c1df41"},
      {4096, "d2e97285bfeb67a134a6707eeb7e72b3"},
      {kDigestBufferSize - 1, "c8ae60d1d432658116e6cdba41487562"},
      {kDigestBufferSize, "adaae3d4e753541138df1a2d483ffc9d"},
      {3 * kDigestBufferSize + 17, "c02d12e0d6055c2fd7be00dc41bc9e77"},
  };
  for (const auto& [size, md5sum] : cases) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + size) & 0xFF);
    const auto path = dir / ("file-" + std::to_string(size));
    test::WriteFile(path, bytes);
    EXPECT_EQ(GetFileMd5(Utf8FromPath(path)), md5sum) << size << " bytes";
  }
  test::WriteFile(dir / "empty", "");
  EXPECT_EQ(GetFileMd5(Utf8FromPath(dir / "empty")), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(GetFileMd5, HashesAFileThatAnotherHolderIsWriting) {
  TempDir dir;
  const auto path = dir / "growing.dat";
  std::ofstream writer(path, std::ios::binary);
  writer << "abc" << std::flush;
  ASSERT_TRUE(writer);
  EXPECT_EQ(GetFileMd5(Utf8FromPath(path)), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(GetFileMd5, NamesThePathAndTheReasonWhenItCannotOpen) {
  TempDir dir;
  const std::string path = Utf8FromPath(dir / "missing.dat");
  try {
    GetFileMd5(path);
    FAIL() << "no error for a missing file";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
#ifdef _WIN32
    const std::string reason = platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
#else
    const std::string reason = "No such file or directory";
#endif
    EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
  }
  EXPECT_THROW(GetFileMd5(Utf8FromPath(dir.path())), std::runtime_error);  // a folder cannot be read
}

}  // namespace
}  // namespace tandrel

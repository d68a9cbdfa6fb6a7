// One attempt's body into the part file: which answers continue what an earlier
// attempt kept, which start it again, and which are refused before a byte is
// written (no room, too large); the digests always cover the whole file.
#include "core/Hex.h"
#include "core/crypto.h"
#include "core/download/PartSink.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

namespace tandrel::download {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUrl = "http://127.0.0.1:1/getvalue/abc.exe";
const std::string kFile = "0123456789abcdefghij";  // the whole file: 20 bytes

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class PartSinkTest : public ::testing::Test {
 protected:
  DownloadRequest Request(std::uint64_t maxSize = 1000) const {
    return {"abc", {kUrl}, dir_ / "abc.Dat", maxSize, 2, true};
  }
  // What an earlier attempt left: the first `kept` bytes, from kUrl with ETag "1".
  void Keep(std::size_t kept, const std::string& url = kUrl) {
    test::WriteFile(PartPath(dir_ / "abc.Dat"), kFile.substr(0, kept));
    WritePartInfo(dir_ / "abc.Dat", {url, "\"1\""});
  }
  std::string Part() const { return test::ReadFile(PartPath(dir_ / "abc.Dat")); }
  static FreeSpaceQuery Free(std::uint64_t bytes) {
    return [bytes](const fs::path&) { return std::optional(bytes); };
  }

  test::TempDir dir_;
};

TEST_F(PartSinkTest, ARangeThatContinuesTheKeptBytesIsWrittenAfterThem) {
  Keep(8);
  PartSink sink(Request(), kUrl, Free(1 << 20));
  EXPECT_EQ(sink.ResumeHeaders(), (http::Headers{{"Range", "bytes=8-"}, {"If-Range", "\"1\""}}));
  EXPECT_EQ(sink.Begin({206, 12, "bytes 8-19/20", "\"1\"", ""}), 8u);
  EXPECT_TRUE(sink.Write(Bytes(kFile.substr(8))));
  const DownloadedFile file = sink.Finish();
  EXPECT_EQ(Part(), kFile);
  EXPECT_EQ(file.size, 20u);
  EXPECT_EQ(sink.Gained(), 12u);
  EXPECT_EQ(ToHex(file.md5), GetBytesMd5(Bytes(kFile)));  // over the whole file, kept bytes included
  ASSERT_TRUE(file.sha256.has_value());
}

// Whatever does not continue the kept bytes exactly starts the part file again.
TEST_F(PartSinkTest, AnswersThatDoNotContinueTheKeptBytesStartAgain) {
  const struct {
    const char* what;
    http::AnswerHead head;
    std::optional<std::uint64_t> base;  // nothing: refused, and the part file goes
  } cases[] = {
      {"the whole file (it changed, or no ranges)", {200, 20, "", "\"2\"", ""}, 0},
      {"a range from elsewhere", {206, 11, "bytes 9-19/20", "\"1\"", ""}, std::nullopt},
      {"a range that stops short of the end", {206, 6, "bytes 8-13/20", "\"1\"", ""}, std::nullopt},
      {"a range with no total", {206, 12, "bytes 8-19/*", "\"1\"", ""}, std::nullopt},
      {"a length that disagrees with the range", {206, 11, "bytes 8-19/20", "\"1\"", ""}, std::nullopt},
      {"no Content-Range", {206, 12, "", "\"1\"", ""}, std::nullopt},
  };
  for (const auto& c : cases) {
    Keep(8);
    PartSink sink(Request(), kUrl, Free(1 << 20));
    EXPECT_EQ(sink.Begin(c.head), c.base) << c.what;
    if (c.base) {
      EXPECT_EQ(Part(), "") << c.what;  // cut back to nothing, to be written whole
      EXPECT_EQ(ReadPartInfo(dir_ / "abc.Dat"), (PartInfo{kUrl, "\"2\""})) << c.what;
    } else {
      EXPECT_EQ(sink.LastFault(), PartSink::Fault::NotContinued) << c.what;
      EXPECT_FALSE(fs::exists(PartPath(dir_ / "abc.Dat"))) << c.what;
      EXPECT_FALSE(fs::exists(PartInfoPath(dir_ / "abc.Dat"))) << c.what;
    }
  }
}

// Only bytes from the same URL with a validator are asked to be continued.
TEST_F(PartSinkTest, AsksForTheRestOnlyOfBytesItCanVouchFor) {
  Keep(8, "http://127.0.0.1:1/other.exe");
  EXPECT_TRUE(PartSink(Request(), kUrl).ResumeHeaders().empty());
  Keep(8);
  WritePartInfo(dir_ / "abc.Dat", {kUrl, ""});  // the service gave no validator
  EXPECT_TRUE(PartSink(Request(), kUrl).ResumeHeaders().empty());
  Keep(0);
  EXPECT_TRUE(PartSink(Request(), kUrl).ResumeHeaders().empty());
  Keep(8);
  EXPECT_TRUE(PartSink(Request(8), kUrl).ResumeHeaders().empty());  // as long as the file may be: no rest to ask for
  Keep(8);
  EXPECT_FALSE(PartSink(Request(), kUrl).ResumeHeaders().empty());
}

TEST_F(PartSinkTest, NoRoomOrTooLargeIsRefusedBeforeAByteIsWritten) {
  const struct {
    const char* what;
    std::uint64_t free, maxSize;
    http::AnswerHead head;
    PartSink::Fault fault;
    std::string kept;  // what the part file holds afterwards
  } cases[] = {
      // A whole new file: the old part goes in any case, so its room counts.
      {"the launcher and its copy do not fit", 31, 1000, {200, 20, "", "", ""}, PartSink::Fault::NoRoom, ""},
      {"the rest and the copy do not fit",
       31,
       1000,
       {206, 12, "bytes 8-19/20", "\"1\"", ""},
       PartSink::Fault::NoRoom,
       kFile.substr(0, 8)},
      {"larger than the cap", 1 << 20, 19, {200, 20, "", "", ""}, PartSink::Fault::TooLarge, kFile.substr(0, 8)},
  };
  for (const auto& c : cases) {
    Keep(8);
    PartSink sink(Request(c.maxSize), kUrl, Free(c.free));
    EXPECT_EQ(sink.Begin(c.head), std::nullopt) << c.what;
    EXPECT_EQ(sink.LastFault(), c.fault) << c.what;
    EXPECT_EQ(fs::exists(PartPath(dir_ / "abc.Dat")) ? Part() : "", c.kept) << c.what;
  }
  Keep(8);
  PartSink fits(Request(), kUrl, Free(32));
  EXPECT_EQ(fits.Begin({206, 12, "bytes 8-19/20", "\"1\"", ""}), 8u);
  EXPECT_EQ(fits.Refusal(), "");
  fits.Close();
  Keep(8);
  PartSink fitsWhole(Request(), kUrl, Free(32));  // 40 with the old part's 8 bytes
  EXPECT_EQ(fitsWhole.Begin({200, 20, "", "", ""}), 0u);
  EXPECT_EQ(std::string(kNoRoom), "磁盘空间不足,请清理后重试");
}

// Bytes are written a megabyte at a time, but never held back once the line
// has gone quiet: a box killed then keeps them.
TEST_F(PartSinkTest, WhatArrivedIsOnDiskOnceTheLineGoesQuiet) {
  PartSink sink(Request(), kUrl, Free(1 << 20));
  ASSERT_EQ(sink.Begin({200, 20, "", "\"1\"", ""}), 0u);
  EXPECT_TRUE(sink.Write(Bytes(kFile.substr(0, 12))));
  EXPECT_TRUE(sink.Idle());
  EXPECT_EQ(Part(), "");  // just arrived: held for the next piece
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(sink.Idle());
  EXPECT_EQ(Part(), kFile.substr(0, 12));
}

// No length announced: the cap stops the body itself, and so does a drive
// about to fill up, whose room the bytes that came give back.
TEST_F(PartSinkTest, AnUnannouncedBodyStopsAtTheCapOrShortOfAFullDrive) {
  PartSink capped(Request(10), kUrl, Free(1 << 20));
  EXPECT_EQ(capped.Begin({200, -1, "", "", ""}), 0u);
  EXPECT_TRUE(capped.Write(Bytes(kFile.substr(0, 10))));
  EXPECT_FALSE(capped.Write(Bytes("x")));
  EXPECT_EQ(capped.LastFault(), PartSink::Fault::TooLarge);
  capped.Close();

  PartSink filling(Request(UINT64_MAX), kUrl, Free(kUnannouncedMargin - 1));
  EXPECT_EQ(filling.Begin({200, -1, "", "", ""}), 0u);
  const std::string piece(1 << 20, 'x');
  bool going = true;
  for (int i = 0; i < 32 && going; ++i) going = filling.Write(Bytes(piece));
  EXPECT_FALSE(going);
  EXPECT_EQ(filling.LastFault(), PartSink::Fault::NoRoom);
  EXPECT_FALSE(fs::exists(PartPath(dir_ / "abc.Dat")));
}

// Whatever changed the kept bytes under the box, no file is made of them.
TEST_F(PartSinkTest, KeptBytesThatChangedOrAreInUseAreNeverContinuedBlindly) {
  // Shorter than when the attempt began: asked for the rest of a file no longer there.
  Keep(8);
  PartSink shrunk(Request(), kUrl, Free(1 << 20));
  test::WriteFile(PartPath(dir_ / "abc.Dat"), kFile.substr(0, 4));
  EXPECT_EQ(shrunk.Begin({206, 12, "bytes 8-19/20", "\"1\"", ""}), std::nullopt);
  EXPECT_EQ(shrunk.LastFault(), PartSink::Fault::NotContinued);
  EXPECT_FALSE(fs::exists(PartPath(dir_ / "abc.Dat")));

  // Another download of the same file (a second box) writes it: this one waits its turn.
  PartSink first(Request(), kUrl, Free(1 << 20));
  ASSERT_EQ(first.Begin({200, 20, "", "\"1\"", ""}), 0u);
  PartSink second(Request(), kUrl, Free(1 << 20));
  EXPECT_EQ(second.Begin({200, 20, "", "\"1\"", ""}), std::nullopt);
  EXPECT_EQ(second.LastFault(), PartSink::Fault::Disk);
  EXPECT_TRUE(first.Write(Bytes(kFile)));
  EXPECT_EQ(first.Finish().size, 20u);
  EXPECT_EQ(Part(), kFile);

  // An answer that ends before its announced length is no whole file.
  PartSink cut(Request(), kUrl, Free(1 << 20));
  ASSERT_EQ(cut.Begin({200, 20, "", "", ""}), 0u);
  EXPECT_TRUE(cut.Write(Bytes(kFile.substr(0, 15))));
  EXPECT_THROW(cut.Finish(), std::runtime_error);
}

}  // namespace
}  // namespace tandrel::download

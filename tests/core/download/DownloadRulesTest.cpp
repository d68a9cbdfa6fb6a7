// The rules a download lives by, without a transfer: what a 206 answer's range
// must say, how much room a launcher needs, when the dialog retries and where,
// and what is kept beside a part file to resume it.
#include "core/Hex.h"
#include "core/crypto.h"
#include "core/download/ContentRange.h"
#include "core/download/GrowingFileDigest.h"
#include "core/download/PartFile.h"
#include "core/download/RetryPlan.h"
#include "core/download/RoomRule.h"

#include "platform/Crypto.h"

#include "support/TempDir.h"

#include <fstream>

#include <gtest/gtest.h>

namespace tandrel::download {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ContentRange, OnlyAWholeCheckableRangeIsTaken) {
  const std::vector<std::pair<std::string, std::optional<ByteRange>>> cases = {
      {"bytes 100-999/1000", ByteRange{100, 999, 1000}},
      {"BYTES 0-0/1", ByteRange{0, 0, 1}},
      {" bytes 5-9/20 ", ByteRange{5, 9, 20}},
      {"bytes 100-999/*", std::nullopt},  // no total: the end cannot be checked
      {"bytes */1000", std::nullopt},
      {"bytes 10-5/1000", std::nullopt},
      {"bytes 0-1000/1000", std::nullopt},  // past the end
      {"bytes -5-9/20", std::nullopt},
      {"bytes 5-9/20x", std::nullopt},
      {"items 5-9/20", std::nullopt},
      {"bytes 18446744073709551616-1/2", std::nullopt},  // too large for a length
      {"", std::nullopt},
  };
  for (const auto& [value, range] : cases) {
    const auto parsed = ParseContentRange(value);
    ASSERT_EQ(parsed.has_value(), range.has_value()) << value;
    if (range) {
      EXPECT_EQ(std::tie(parsed->first, parsed->last, parsed->total), std::tie(range->first, range->last, range->total))
          << value;
    }
  }
}

TEST(RoomRule, TheRestAndEveryCopyMustFit) {
  const struct {
    std::uint64_t total, have;
    unsigned copies;
    std::uint64_t available;
    bool fits;
  } cases[] = {
      {1000, 0, 2, 2000, true},  // the launcher and its launch copy
      {1000, 0, 2, 1999, false},
      {1000, 600, 2, 1400, true},  // the kept part is on the drive already
      {1000, 600, 2, 1399, false},
      {1000, 0, 1, 1000, true},               // the new box: its own length
      {UINT64_MAX, 0, 2, UINT64_MAX, false},  // a lying length never overflows into "fits"
      {0, 0, 2, 0, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EnoughRoom(c.total, c.have, c.copies, c.available), c.fits)
        << c.total << " " << c.have << " " << c.copies << " " << c.available;
  }
}

TEST(RoomRule, TheSystemSaysWhatRoomAFolderHas) {
  test::TempDir dir;
  const auto free = SystemFreeSpace(dir.path());
  ASSERT_TRUE(free.has_value());
  EXPECT_GT(*free, 0u);
  EXPECT_LE(*free, fs::space(dir.path()).capacity);
}

TEST(RetryPlan, AnotherSourceAtOnceThenThreeRetriesWithGrowingWaits) {
  const struct {
    const char* what;
    std::size_t sources;
    std::vector<bool> gained;  // what each failed attempt brought
    std::vector<std::optional<RetryPlan::Step>> steps;
  } cases[] = {
      {"the service alone, cut each time",
       1,
       {true, true, true, true},
       {RetryPlan::Step{0, 1000ms, 1}, RetryPlan::Step{0, 2000ms, 2}, RetryPlan::Step{0, 4000ms, 3}, std::nullopt}},
      {"the service down: each mirror at once, then the retries from the service",
       3,
       {false, false, false, false},
       {RetryPlan::Step{1, 0ms, 0}, RetryPlan::Step{2, 0ms, 0}, RetryPlan::Step{0, 1000ms, 1},
        RetryPlan::Step{1, 0ms, 0}}},
      {"a mirror that was bringing the file is resumed",
       2,
       {false, true, true},
       {RetryPlan::Step{1, 0ms, 0}, RetryPlan::Step{1, 1000ms, 1}, RetryPlan::Step{1, 2000ms, 2}}},
  };
  for (const auto& c : cases) {
    RetryPlan plan(c.sources, RetryPlan::kWaits, [] { return 1.0; });
    for (std::size_t i = 0; i < c.gained.size(); ++i) {
      const auto step = plan.AfterFailure(c.gained[i]);
      ASSERT_EQ(step.has_value(), c.steps[i].has_value()) << c.what << ", failure " << i;
      if (!step) continue;
      EXPECT_EQ(std::tie(step->source, step->wait, step->retry),
                std::tie(c.steps[i]->source, c.steps[i]->wait, c.steps[i]->retry))
          << c.what << ", failure " << i;
    }
  }
  // The jitter spreads each wait.
  RetryPlan jittered(1, RetryPlan::kWaits, [] { return 0.8; });
  EXPECT_EQ(jittered.AfterFailure(true)->wait, 800ms);
  RetryPlan random(1);
  for (int i = 0; i < 3; ++i) {
    const auto wait = random.AfterFailure(true)->wait;
    EXPECT_GE(wait, RetryPlan::kWaits[static_cast<std::size_t>(i)] * 8 / 10);
    EXPECT_LE(wait, RetryPlan::kWaits[static_cast<std::size_t>(i)] * 12 / 10);
  }
  EXPECT_EQ(RetryCaption(2), "网络不稳定,正在重试 (2/3)...");
}

// Hashed beside the writing, from the file itself: the same digest as the whole
// file's, however the writes fall; a file shorter than said is a failure.
TEST(GrowingFileDigest, HashesTheFileAsItGrows) {
  test::TempDir dir;
  const fs::path file = dir / "part";
  std::string content;
  for (std::uint64_t i = 0; content.size() < (3u << 20); ++i) content += std::to_string(i * 7919) + ",";
  std::ofstream out(file, std::ios::binary);
  auto md5 = platform::MakeMd5();
  {
    GrowingFileDigest digest(file, [&](std::span<const std::uint8_t> bytes) { md5->Update(bytes); });
    for (std::size_t at = 0; at < content.size(); at += 300007) {
      const std::size_t n = std::min<std::size_t>(300007, content.size() - at);
      out.write(content.data() + at, static_cast<std::streamsize>(n));
      out.flush();
      digest.Written(at + n);
    }
    digest.Finish(content.size());
  }
  EXPECT_EQ(ToHex(md5->Finish()), GetBytesMd5({reinterpret_cast<const std::uint8_t*>(content.data()), content.size()}));

  GrowingFileDigest shorter(file, [](std::span<const std::uint8_t>) {});
  EXPECT_THROW(shorter.Finish(content.size() + 1), std::runtime_error);
  GrowingFileDigest missing(dir / "none", [](std::span<const std::uint8_t>) {});
  EXPECT_THROW(missing.Finish(1), std::runtime_error);
}

TEST(PartFile, KeepsTheUrlAndTheValidatorBesideThePart) {
  test::TempDir dir;
  const fs::path target = dir / "abc.Dat";
  EXPECT_EQ(PartPath(target), dir / "abc.Dat.part");
  EXPECT_EQ(ReadPartInfo(target), std::nullopt);
  WritePartInfo(target, {"http://127.0.0.1:1/getvalue/abc.exe", "\"3f-a9\""});
  EXPECT_EQ(ReadPartInfo(target), (PartInfo{"http://127.0.0.1:1/getvalue/abc.exe", "\"3f-a9\""}));
  // Anything else there is no info of this box's.
  for (const std::string text : {"", "tandrel part 1\n", "tandrel part 2\nhttp://a/\n\"1\"\n",
                                 "tandrel part 1\nhttp://a/\n\"1\"", "tandrel part 1\nhttp://a/\n\"\x01\"\n"}) {
    test::WriteFile(PartInfoPath(target), text);
    EXPECT_EQ(ReadPartInfo(target), std::nullopt) << text;
  }
  // A strong ETag first, else the date; a weak tag or a hostile value never goes back out.
  EXPECT_EQ(ValidatorOf("\"abc\"", "Tue, 08 Dec 2026 10:00:00 GMT"), "\"abc\"");
  EXPECT_EQ(ValidatorOf("W/\"abc\"", "Tue, 08 Dec 2026 10:00:00 GMT"), "Tue, 08 Dec 2026 10:00:00 GMT");
  EXPECT_EQ(ValidatorOf("\"a\r\nX-Evil: 1\"", ""), std::nullopt);
  EXPECT_EQ(ValidatorOf(std::string(300, 'a'), ""), std::nullopt);
  EXPECT_EQ(ValidatorOf("", ""), std::nullopt);
}

TEST(PartFile, TheStartUpCleanUpRemovesOnlyPartsUntouchedForAWeek) {
  test::TempDir dir;
  for (const char* name : {"old.Dat.part", "old.Dat.part.info", "new.Dat.part", "new.Dat.part.info", "old.Dat"}) {
    test::WriteFile(dir / name, "x");
  }
  const auto eightDaysAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 8);
  for (const char* name : {"old.Dat.part", "old.Dat.part.info", "old.Dat"})
    fs::last_write_time(dir / name, eightDaysAgo);
  RemoveStaleParts(dir.path());
  EXPECT_FALSE(fs::exists(dir / "old.Dat.part"));
  EXPECT_FALSE(fs::exists(dir / "old.Dat.part.info"));
  EXPECT_TRUE(fs::exists(dir / "old.Dat"));  // a cache file is no part, however old
  EXPECT_TRUE(fs::exists(dir / "new.Dat.part"));
  EXPECT_TRUE(fs::exists(dir / "new.Dat.part.info"));
  RemoveStaleParts(dir / "no such folder");  // nothing to clean: nothing happens
}

}  // namespace
}  // namespace tandrel::download

#include "core/Hutil32.h"
#include "core/Share.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace tandrel {
namespace {

struct SplitCase {
  std::u16string source, dividers, token, rest;
};

TEST(SplitToken, CutsTheFirstTokenAtOneDivider) {
  const std::vector<SplitCase> cases = {
      {u"a-b", u"-", u"a", u"b"},
      {u"a--b", u"-", u"a", u"-b"},
      {u"--a", u"-", u"a", u""},
      {u"a-", u"-", u"a", u""},
      {u"--", u"-", u"", u""},
      {u"", u"-", u"", u""},
      {u"a-b-c", u"-", u"a", u"b-c"},
      {u"a b,c", u" ,", u"a", u"b,c"},
      {u"a-b", u"", u"a-b", u""},
      {std::u16string(u"ab\0c-d", 6), u"-", u"ab", u"d"},
      {std::u16string(u"\0ab-d", 5), u"-", u"", u"d"},
  };
  for (const auto& c : cases) {
    std::u16string token = u"stale";
    EXPECT_EQ(SplitToken(c.source, token, c.dividers), c.rest);
    EXPECT_EQ(token, c.token);
  }
}

TEST(SplitToken, RefusesSourcesOf20479UnitsOrMore) {
  std::u16string token;
  const std::u16string atLimit(kSplitTokenLimit, u'x');
  EXPECT_EQ(SplitToken(atLimit + u"-y", token, u"-"), u"");
  EXPECT_EQ(token, u"");
  EXPECT_EQ(SplitToken(atLimit, token, u"-"), u"");
  EXPECT_EQ(token, u"");

  const std::u16string belowLimit(kSplitTokenLimit - 1, u'x');
  EXPECT_EQ(SplitToken(belowLimit, token, u"-"), u"");
  EXPECT_EQ(token, belowLimit);
}

TEST(LaunchSuffix, IsWhatFollowsTheFirstDashOfTheStem) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"box-7.exe", "7"},   {"box.exe", ""}, {"box-7-beta.exe", "7-beta"}, {"box--7.exe", "-7"}, {"-7.exe", ""},
      {"box.x-7.exe", "7"}, {"box-7", "7"},  {"盒子-七.exe", "七"},
  };
  for (const auto& [name, suffix] : cases) EXPECT_EQ(LaunchSuffixOf(name), suffix) << name;
}

TEST(Percent, TruncatesTheExtendedPrecisionQuotient) {
  constexpr auto kIndefinite = std::numeric_limits<std::int64_t>::min();
  struct Case {
    double part, whole, scale;
    std::int64_t expected;
  };
  const std::vector<Case> cases = {
      {1, 3, 100, 33},
      {100, 100, 100, 100},
      {53, 100, 100, 52},  // 53 / 100 is held just below 0.53
      {524288, 1048576, 100, 50},
      {1048575, 1048576, 100, 99},
      {5, -1, 100, -500},  // the size-unknown case: received times -100
      {5, 0, 100, kIndefinite},
      {0, 0, 100, kIndefinite},
      {-5, 0, 100, kIndefinite},
      {std::numeric_limits<double>::infinity(), 1, 100, kIndefinite},
      {1e300, 1, 100, kIndefinite},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Percent(c.part, c.whole, c.scale), c.expected) << c.part << " / " << c.whole;
  }
}

// A loop whose clock moves only when it sleeps, so every round can be counted.
class CountingLoop final : public EventLoop {
 public:
  explicit CountingLoop(std::uint32_t start) : now(start) {}
  void PumpMessages() override { ++pumps; }
  std::uint32_t TickCount() override { return now; }
  void Sleep(std::uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  std::uint32_t now;
  int pumps = 0;
  std::vector<std::uint32_t> sleeps;
};

TEST(Delay, SleepsInRoundsOf15MsAndPumpsAroundEachSleep) {
  CountingLoop zero(1000);
  Delay(0, zero);
  EXPECT_EQ(zero.sleeps, std::vector<std::uint32_t>{15});
  EXPECT_EQ(zero.pumps, 1);

  CountingLoop hundred(1000);
  Delay(100, hundred);
  EXPECT_EQ(hundred.sleeps.size(), 7u);  // 7 * 15 = 105 >= 100
  EXPECT_EQ(hundred.pumps, 13);          // one before each sleep, one after all but the last
}

TEST(Delay, SurvivesTheWrapOfTheTickCount) {
  CountingLoop wrapping(0xFFFFFFF0u);
  Delay(100, wrapping);
  EXPECT_EQ(wrapping.sleeps.size(), 7u);
  EXPECT_LT(wrapping.now, 0x100u);
}

TEST(Delay, WaitsAtLeastTheTimeOnTheRealClock) {
  QueuelessEventLoop loop;
  const std::uint32_t start = loop.TickCount();
  Delay(40, loop);
  EXPECT_GE(static_cast<std::uint32_t>(loop.TickCount() - start), 40u);
}

}  // namespace
}  // namespace tandrel

// The row badge's animation on a timer the test ticks.
#include "core/forms/BadgeAnimation.h"

#include "ManualTimers.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

using namespace std::chrono_literals;

TEST(BadgeAnimation, EachFrameStaysForItsDelayHeldWithinBoundsAndTheLastIsFollowedByTheFirst) {
  ManualTimers timers;
  BadgeAnimation badge({70ms, 0ms, 20000ms}, timers);
  ASSERT_EQ(timers.made.size(), 1u);
  ManualTimer& timer = *timers.made.front();
  ASSERT_TRUE(timer.Enabled());
  const struct {
    std::size_t frame;
    std::chrono::milliseconds interval;
  } steps[] = {{0, 70ms}, {1, 50ms}, {2, 10000ms}, {0, 70ms}, {1, 50ms}};
  for (const auto& step : steps) {
    EXPECT_EQ(badge.CurrentFrame(), step.frame);
    EXPECT_EQ(timer.Interval(), step.interval) << "frame " << step.frame;
    timer.Tick();
  }
}

TEST(BadgeAnimation, APictureOfOneFrameDoesNotAnimate) {
  for (const auto& delays : {std::vector<std::chrono::milliseconds>{100ms}, std::vector<std::chrono::milliseconds>{}}) {
    ManualTimers timers;
    BadgeAnimation badge(delays, timers);
    EXPECT_FALSE(timers.made.front()->Enabled());
    EXPECT_EQ(badge.CurrentFrame(), 0u);
  }
}

}  // namespace
}  // namespace tandrel::forms

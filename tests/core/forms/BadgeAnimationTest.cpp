// The row badge's animation, on a clock the test sets.
#include "core/forms/BadgeAnimation.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

using namespace std::chrono_literals;

class BadgeAnimationTest : public ::testing::Test {
 protected:
  BadgeAnimation::Clock::time_point now_{};
  std::function<BadgeAnimation::Clock::time_point()> clock_ = [this] { return now_; };
};

TEST_F(BadgeAnimationTest, EachFrameStaysForItsDelayHeldWithinBoundsAndTheLastIsFollowedByTheFirst) {
  BadgeAnimation badge({70ms, 0ms, 20000ms}, clock_);  // held at 70, 50 and 10,000 ms
  const struct {
    std::chrono::milliseconds since;
    std::size_t frame;
    bool moved;
  } steps[] = {{0ms, 0, false},     {69ms, 0, false},   {70ms, 1, true},    {119ms, 1, false},  {120ms, 2, true},
               {10119ms, 2, false}, {10120ms, 0, true}, {10190ms, 1, true}, {30359ms, 2, true}, {30360ms, 0, true}};
  const auto start = now_;
  for (const auto& step : steps) {
    now_ = start + step.since;
    EXPECT_EQ(badge.MoveOn(), step.moved) << step.since.count() << " ms";
    EXPECT_EQ(badge.CurrentFrame(), step.frame) << step.since.count() << " ms";
  }
  now_ += 70ms;
  EXPECT_EQ(badge.CurrentFrame(), 0u) << "only moving on moves it";
}

TEST_F(BadgeAnimationTest, APictureOfOneFrameDoesNotAnimate) {
  for (const auto& delays : {std::vector<std::chrono::milliseconds>{100ms}, std::vector<std::chrono::milliseconds>{}}) {
    BadgeAnimation badge(delays, clock_);
    now_ += 250ms;
    EXPECT_FALSE(badge.MoveOn());
    EXPECT_EQ(badge.CurrentFrame(), 0u);
  }
}

}  // namespace
}  // namespace tandrel::forms

// Where dialogs and the main window go when centred.
#include "core/forms/Centring.h"

#include <gtest/gtest.h>

namespace tandrel::forms {
namespace {

TEST(Centring, CentresAndKeepsTheWindowOnItsBounds) {
  const struct {
    const char* what;
    int areaStart, areaLength, length, boundsStart, boundsLength, start;
  } cases[] = {
      {"on a screen", 0, 1280, 423, 0, 1280, 428},
      {"the odd pixel after it", 0, 1280, 424, 0, 1280, 428},
      {"over a window", 100, 980, 423, 0, 1280, 378},
      {"on a screen that does not start at 0", 1280, 1920, 980, 1280, 1920, 1750},
      {"over a window half off the end", 1080, 980, 423, 0, 1280, 857},
      {"over a window half off the start", -600, 980, 423, 0, 1280, 0},
      {"a main window taller than its screen starts at its top", 0, 768, 939, 0, 768, 0},
      {"and on a second screen at that screen's top", 1024, 768, 939, 1024, 768, 1024},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CentredStart(c.areaStart, c.areaLength, c.length, c.boundsStart, c.boundsLength), c.start) << c.what;
  }
}

}  // namespace
}  // namespace tandrel::forms

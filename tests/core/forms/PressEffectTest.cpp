// The pictures' press effect as a table of mouse events and what each does.
#include "core/forms/PressEffect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel::forms {
namespace {

using Button = PressEffect::Button;

struct Event {
  enum Kind { Press, DoubleClick, Release, ReleaseOutside } kind;
  Button button;
};

// Replays events on a picture and writes what it did: "shift", "click", "back".
std::string Replay(const std::vector<Event>& events) {
  PressEffect effect;
  std::string done;
  const auto say = [&](const char* what) { done += done.empty() ? what : std::string(" ") + what; };
  for (const Event& e : events) {
    switch (e.kind) {
      case Event::Press:
        if (effect.Press(e.button)) say("shift");
        break;
      case Event::DoubleClick:
        if (effect.DoubleClickPress(e.button)) say("shift");
        break;
      case Event::Release:
      case Event::ReleaseOutside: {
        const auto r = effect.Released(e.button, e.kind == Event::Release);
        if (r.click) say("click");
        if (r.moveBack) say("back");
        break;
      }
    }
  }
  return done;
}

TEST(PressEffect, ShiftsForAnyButtonAndClicksOnceForALeftReleaseInside) {
  const Button L = Button::Left, R = Button::Right, M = Button::Middle;
  const struct {
    const char* what;
    std::vector<Event> events;
    std::string done;
  } cases[] = {
      {"a left click clicks before moving back", {{Event::Press, L}, {Event::Release, L}}, "shift click back"},
      {"released outside: no click", {{Event::Press, L}, {Event::ReleaseOutside, L}}, "shift back"},
      {"the right button shifts, never clicks", {{Event::Press, R}, {Event::Release, R}}, "shift back"},
      {"the middle button too", {{Event::Press, M}, {Event::Release, M}}, "shift back"},
      {"a double click clicks once",
       {{Event::Press, L}, {Event::Release, L}, {Event::DoubleClick, L}, {Event::Release, L}},
       "shift click back shift back"},
      {"a click after a double click clicks again",
       {{Event::Press, L},
        {Event::Release, L},
        {Event::DoubleClick, L},
        {Event::Release, L},
        {Event::Press, L},
        {Event::Release, L}},
       "shift click back shift back shift click back"},
      {"a release with no press does nothing", {{Event::Release, L}}, ""},
      {"two buttons held: each shifts and moves back once",
       {{Event::Press, L}, {Event::Press, R}, {Event::Release, R}, {Event::Release, L}},
       "shift shift back click back"},
      {"a press of a held button shifts no further",
       {{Event::Press, L}, {Event::Press, L}, {Event::Release, L}, {Event::Release, L}},
       "shift click back"},
  };
  for (const auto& c : cases) EXPECT_EQ(Replay(c.events), c.done) << c.what;
}

}  // namespace
}  // namespace tandrel::forms

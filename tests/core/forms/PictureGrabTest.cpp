// Where a window's presses go, as tables of mouse events and what the window does.
#include "core/forms/PictureGrab.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel::forms {
namespace {

using Button = PressEffect::Button;
constexpr Button L = Button::Left, R = Button::Right;

// Two pictures side by side, a heading below them, and the background around.
constexpr Point kFirst{5, 5}, kSecond{25, 5}, kHeading{12, 32}, kBackground{60, 60};
const std::vector<Rect> kPictures = {{0, 0, 16, 16}, {20, 0, 16, 16}};
const std::vector<Rect> kHeadings = {{0, 30, 40, 19}};

struct Event {
  enum Kind { Press, DoubleClick, Release, ReleaseLast, LoseMouse } kind;
  Point at{};
  Button button = L;
};

// Replays events and writes what the window does: "move window", "hold 0",
// "shift 0", "let go", "click 0", "back 0".
std::string Replay(PictureGrab::Elsewhere elsewhere, const std::vector<Event>& events) {
  PictureGrab grab(kPictures, kHeadings, elsewhere);
  std::string done;
  const auto say = [&](const std::string& what) { done += (done.empty() ? "" : ", ") + what; };
  for (const Event& e : events) {
    if (e.kind == Event::LoseMouse) {
      if (const int back = grab.MouseLost(); back >= 0) say("back " + std::to_string(back));
      continue;
    }
    if (e.kind == Event::Press || e.kind == Event::DoubleClick) {
      const auto down = grab.Pressed(e.at, e.button, e.kind == Event::DoubleClick);
      if (down.moveWindow) say("move window");
      if (down.picture >= 0) say("hold " + std::to_string(down.picture));
      if (down.shift) say("shift " + std::to_string(down.picture));
      continue;
    }
    const auto up = grab.Released(e.at, e.button, e.kind == Event::Release);
    if (up.releaseMouse) say("let go");
    if (up.click) say("click " + std::to_string(up.picture));
    if (up.moveBack) say("back " + std::to_string(up.picture));
  }
  return done;
}

TEST(PictureGrab, PressesGoToTheHeldPictureTheWindowOrNowhere) {
  using E = Event;
  const struct {
    const char* what;
    std::vector<Event> events;
    std::string done;
  } cases[] = {
      {"a click", {{E::Press, kSecond}, {E::ReleaseLast, kSecond}}, "hold 1, shift 1, let go, click 1, back 1"},
      {"released off the picture: no click",
       {{E::Press, kFirst}, {E::ReleaseLast, kBackground}},
       "hold 0, shift 0, let go, back 0"},
      {"released over the other picture: still the first's",
       {{E::Press, kFirst}, {E::ReleaseLast, kSecond}},
       "hold 0, shift 0, let go, back 0"},
      {"a second button pressed off the picture goes to the held one",
       {{E::Press, kFirst}, {E::Press, kBackground, R}, {E::Release, kBackground, R}, {E::ReleaseLast, kFirst}},
       "hold 0, shift 0, hold 0, shift 0, back 0, let go, click 0, back 0"},
      {"the background moves the window", {{E::Press, kBackground}}, "move window"},
      {"a heading takes the press and does nothing", {{E::Press, kHeading}, {E::ReleaseLast, kHeading}}, ""},
      {"the mouse lost mid-press: back, no click, and the late release does nothing",
       {{E::Press, kFirst}, {E::LoseMouse}, {E::ReleaseLast, kFirst}},
       "hold 0, shift 0, back 0"},
      {"the mouse lost with nothing held", {{E::LoseMouse}}, ""},
      {"after a lost mouse the next press starts afresh",
       {{E::Press, kFirst}, {E::LoseMouse}, {E::Press, kSecond}, {E::ReleaseLast, kSecond}},
       "hold 0, shift 0, back 0, hold 1, shift 1, let go, click 1, back 1"},
      {"a press the system never released ends with the last release",
       {{E::Press, kFirst, R}, {E::ReleaseLast, kFirst, L}},
       "hold 0, shift 0, let go, back 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Replay(PictureGrab::Elsewhere::MovesWindow, c.events), c.done) << c.what;
}

TEST(PictureGrab, AWindowThatDoesNotMoveTakesPressesOffItsPicturesAsNothing) {
  EXPECT_EQ(Replay(PictureGrab::Elsewhere::Nothing, {{Event::Press, kBackground}, {Event::ReleaseLast, kBackground}}),
            "");
  EXPECT_EQ(Replay(PictureGrab::Elsewhere::Nothing, {{Event::Press, kFirst}, {Event::ReleaseLast, kFirst}}),
            "hold 0, shift 0, let go, click 0, back 0");
}

TEST(PictureGrab, TheHandShowsOverPicturesOnly) {
  const PictureGrab grab(kPictures, kHeadings, PictureGrab::Elsewhere::MovesWindow);
  EXPECT_EQ(grab.PictureAt(kFirst), 0);
  EXPECT_EQ(grab.PictureAt(kSecond), 1);
  EXPECT_EQ(grab.PictureAt(kHeading), -1);
  EXPECT_EQ(grab.PictureAt(Point{16, 5}), -1);  // the gap between them
}

}  // namespace
}  // namespace tandrel::forms

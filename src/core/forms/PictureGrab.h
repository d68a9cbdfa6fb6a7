// Where a window's presses go. A press on one of its pictures (refresh, close,
// minimise) holds that picture: the window takes the mouse, and every release
// goes to the picture wherever the pointer is, until no button is down. A window
// that loses the mouse mid-press (another window took it) moves the held picture
// back without a click. A press on a still part (the headings) does nothing;
// anywhere else it moves the window, or does nothing where the window does not move.
#pragma once

#include "PressEffect.h"
#include "ServerListLayout.h"

#include <vector>

namespace tandrel::forms {

class PictureGrab {
 public:
  enum class Elsewhere { MovesWindow, Nothing };
  PictureGrab(std::vector<Rect> pictures, std::vector<Rect> still, Elsewhere elsewhere);

  struct Down {
    bool moveWindow = false;
    int picture = -1;    // the picture pressed, which the window holds the mouse for
    bool shift = false;  // it shifts 1 right and 1 down now
  };
  Down Pressed(Point p, PressEffect::Button button, bool secondOfDoubleClick);

  struct Up {
    int picture = -1;           // the held picture; none: nothing to do
    bool releaseMouse = false;  // no button is down any more
    bool click = false;         // deliver its click, first
    bool moveBack = false;      // then move it back
  };
  // anyButtonDown: whether a button is still down after this release.
  Up Released(Point p, PressEffect::Button button, bool anyButtonDown);

  // The picture that moves back, or -1.
  int MouseLost();

  // The picture under the pointer (the hand cursor), or -1.
  int PictureAt(Point p) const;

 private:
  std::vector<Rect> pictures_, still_;
  Elsewhere elsewhere_;
  std::vector<PressEffect> effects_;
  int held_ = -1;
};

}  // namespace tandrel::forms

// The press effect of the window's pictures (refresh, close, minimise): any button
// shifts the picture 1 right and 1 down while it is held, and its release moves it
// back. A left release inside the picture clicks, before the picture moves back, so
// the refresh picture stays shifted while the reload it started runs. The second
// press of a double click shifts and moves back like any press, but never clicks.
#pragma once

namespace tandrel::forms {

class PressEffect {
 public:
  enum class Button { Left, Right, Middle };

  struct Release {
    bool click = false;     // deliver the click, first
    bool moveBack = false;  // then move the picture 1 left and 1 up
  };

  // Whether the picture shifts (a button already held shifts it no further).
  bool Press(Button button);
  bool DoubleClickPress(Button button);
  Release Released(Button button, bool inside);
  // Every held button let go without a click (the window lost the mouse);
  // whether the picture moves back.
  bool Cancel();

 private:
  static unsigned Bit(Button button) { return 1u << static_cast<unsigned>(button); }

  unsigned held_ = 0;
  unsigned noClick_ = 0;  // buttons whose press was the second of a double click
};

}  // namespace tandrel::forms

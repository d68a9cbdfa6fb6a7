// A picture with the press effect (refresh, close, minimise): drawn centred in its
// box and shifted 1 right and 1 down while a button holds it. The window forwards
// its presses and releases and delivers the click the effect asks for.
#pragma once

#include "Pictures.h"

#include "core/forms/PressEffect.h"

#include <optional>

namespace tandrel::win {

class PressPicture {
 public:
  PressPicture(HWND window, RECT box, Gdiplus::Bitmap& picture);

  bool Contains(POINT p) const { return PtInRect(&box_, p) != FALSE; }
  void Paint(Gdiplus::Graphics& graphics) const;

  // A press (the second of a double click too); the shift shows at once.
  void Press(forms::PressEffect::Button button, bool secondOfDoubleClick);
  // Whether a click is due; the caller delivers it, then calls MoveBack.
  forms::PressEffect::Release Release(forms::PressEffect::Button button, POINT p);
  void MoveBack();

 private:
  void Shift(int by);

  HWND window_;
  RECT box_;
  Gdiplus::Bitmap& picture_;
  forms::PressEffect effect_;
  int shift_ = 0;
};

// The press effect's name for a mouse message's button; none for other messages.
std::optional<forms::PressEffect::Button> PressButtonOf(UINT message);

}  // namespace tandrel::win

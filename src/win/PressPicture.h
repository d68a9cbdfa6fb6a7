// A window's pictures with the press effect (refresh, close, minimise; the
// dialog's close): drawn centred in their boxes and shifted right and down
// while held. The window hands them its mouse messages and capture changes;
// forms::PictureGrab decides where each goes, and a click comes back as the
// picture's index.
#pragma once

#include "Pictures.h"

#include "core/forms/PictureGrab.h"

#include <functional>
#include <vector>

namespace tandrel::win {

class PressPictures {
 public:
  struct Item {
    forms::Rect box;
    Gdiplus::Bitmap* picture;
  };
  // shift: how far right and down a held picture moves.
  PressPictures(HWND window, std::vector<Item> items, std::vector<forms::Rect> still,
                forms::PictureGrab::Elsewhere elsewhere, int shift);

  void Paint(Gdiplus::Graphics& graphics) const;

  // Handles a mouse button message, WM_CAPTURECHANGED or WM_SETCURSOR; false for
  // any other. A click calls click with the picture's index after the grab has
  // let the mouse go; the picture moves back after the click's handler returned.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::function<void(int)>& click);

 private:
  void Shift(int picture, int by);

  HWND window_;
  int shift_;
  std::vector<Item> items_;
  std::vector<int> shifts_;
  forms::PictureGrab grab_;
};

}  // namespace tandrel::win

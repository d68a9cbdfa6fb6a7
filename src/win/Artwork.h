// The pictures compiled into the program, decoded once per window that shows
// them, at the layout's scale; what is always shown at one size is kept at that
// size. The sizes below are at 100 %.
#pragma once

#include "Pictures.h"

#include "core/forms/ServerListModel.h"
#include "core/forms/WindowLayout.h"

#include <array>
#include <map>
#include <span>

namespace tandrel::win {

using forms::ButtonLook;

class Artwork {
 public:
  explicit Artwork(const forms::WindowLayout& layout);

  Gdiplus::Bitmap& Background() const { return *background_; }  // stretched to the window's size
  // The row plate (950 x 36) stretched to width and the layout's plate height.
  Gdiplus::Bitmap& RowPlate(int width) const;
  Gdiplus::Bitmap& Refresh() const { return *refresh_; }                                             // 115 x 16
  Gdiplus::Bitmap& Close() const { return *close_; }                                                 // 16 x 16
  Gdiplus::Bitmap& Minimise() const { return *minimise_; }                                           // 16 x 16
  Gdiplus::Bitmap& EnterGame(ButtonLook look) const { return *enterGame_[static_cast<int>(look)]; }  // 74 x 25
  Gdiplus::Bitmap& WebSite(ButtonLook look) const { return *webSite_[static_cast<int>(look)]; }      // 46 x 22
  static std::span<const std::uint8_t> BadgeFile();  // GIF89a, 98 x 46, animated

 private:
  Picture background_, rowPlate_;
  int plateHeight_;
  Picture refresh_, close_, minimise_;
  std::array<Picture, 3> enterGame_, webSite_;
  mutable std::map<int, Picture> plates_;
};

}  // namespace tandrel::win

// Paints the row template bound to a row, and measures its texts for the list's
// hit testing. Where each control lies and what it shows come from the logic.
#pragma once

#include "Artwork.h"
#include "Badge.h"
#include "Look.h"

#include "core/forms/ServerListModel.h"

namespace tandrel::win {

class RowTemplate final : public forms::TextMeasure {
 public:
  RowTemplate(const Artwork& art, const Badge& badge, const forms::RowLayout& layout);
  // Another scale: the font and the places follow.
  void SetLayout(const forms::RowLayout& layout);
  ~RowTemplate() override;
  RowTemplate(const RowTemplate&) = delete;
  RowTemplate& operator=(const RowTemplate&) = delete;

  // Draws the bound row, all but its badge, with its top-left corner at origin:
  // pictures through graphics, texts through dc, graphics' own device.
  void Paint(HDC dc, Gdiplus::Graphics& graphics, POINT origin, const forms::BoundRow& row, forms::ButtonLook enterGame,
             forms::ButtonLook webSite) const;
  // Draws the badge's current frame into its box.
  void PaintBadge(HDC dc, const forms::Rect& box) const;

  int TextWidth(const std::string& utf8) const override;

 private:
  const Artwork& art_;
  const Badge& badge_;
  forms::RowLayout layout_;
  look::Font font_;
  MemoryDc measuring_;
};

}  // namespace tandrel::win

// Paints the row template bound to a row, and measures its texts for the list's
// hit testing. Where each control lies and what it shows come from the logic.
#pragma once

#include "Artwork.h"
#include "Badge.h"

#include "core/forms/ServerListModel.h"

#include <QFont>
#include <QPixmap>
#include <QPoint>

class QPainter;

namespace tandrel::ui {

class RowTemplate final : public forms::TextMeasure {
 public:
  RowTemplate(const Artwork& art, const Badge& badge, const forms::RowLayout& layout);

  // Draws the bound row, all but its badge, with its top-left corner at origin.
  void Paint(QPainter& painter, QPoint origin, const forms::BoundRow& row, forms::ButtonLook enterGame,
             forms::ButtonLook webSite) const;
  // Draws the badge's current frame into its box.
  void PaintBadge(QPainter& painter, const QRect& box) const;

  int TextWidth(const std::string& utf8) const override;

 private:
  const Artwork& art_;
  const Badge& badge_;
  forms::RowLayout layout_;
  QFont font_;
  // The badge's current frame at its box's size in device pixels: scaled once
  // per frame shown, not once per row.
  mutable const QPixmap* scaledFrom_ = nullptr;
  mutable QPixmap scaled_;
};

}  // namespace tandrel::ui

// One row's worth of template controls. The list holds no controls per row: it
// binds this template to a row's entry and draws it in the row's place.
#pragma once

#include "Artwork.h"

#include "core/uConfig.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QMovie;
class QPainter;

namespace tandrel::ui {

class RowTemplate {
 public:
  static constexpr int kRowHeight = 40;
  static constexpr int kRowsWithoutScrollBar = 20;

  // The template's controls, in drawing order.
  enum class Control { None, Plate, Name, Introduction, OpeningTime, Badge, EnterGame, WebSite };

  RowTemplate(const Artwork& art, QMovie& badge);

  // Binds the template to an entry of a list of entryCount entries.
  void Bind(const TBoxConfig& entry, std::size_t entryCount);

  // Draws the bound row at origin; the looks apply to the two buttons.
  void Paint(QPainter& painter, QPoint origin, ButtonLook enterGame, ButtonLook webSite) const;

  // The topmost control of the bound row at a point measured from the row's corner.
  Control ControlAt(QPoint point) const;

  static bool IsButton(Control c) { return c == Control::EnterGame || c == Control::WebSite; }

 private:
  QRect TextBox(int left, const QString& text) const;

  const Artwork& art_;
  QMovie& badge_;
  QFont font_;
  int plateWidth_ = 945;
  QString name_, introduction_, openingTime_;
};

}  // namespace tandrel::ui

// The pictures compiled into the program, loaded once per window that shows them.
#pragma once

#include "core/forms/ServerListModel.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <array>

namespace tandrel::ui {

// The three looks of a row button are the order of its image list.
using forms::ButtonLook;

class Artwork {
 public:
  Artwork();

  const QPixmap& Background() const { return background_; }                                       // 1280 x 830
  const QPixmap& RowPlate() const { return rowPlate_; }                                           // 950 x 36
  const QPixmap& Refresh() const { return refresh_; }                                             // 115 x 16
  const QPixmap& Close() const { return close_; }                                                 // 16 x 16
  const QPixmap& Minimise() const { return minimise_; }                                           // 16 x 16
  const QPixmap& EnterGame(ButtonLook look) const { return enterGame_[static_cast<int>(look)]; }  // 74 x 25
  const QPixmap& WebSite(ButtonLook look) const { return webSite_[static_cast<int>(look)]; }      // 46 x 22
  static QString BadgeFile();  // GIF89a, 98 x 46, animated
  static QIcon ApplicationIcon();

 private:
  QPixmap background_, rowPlate_, refresh_, close_, minimise_;
  std::array<QPixmap, 3> enterGame_, webSite_;
};

}  // namespace tandrel::ui

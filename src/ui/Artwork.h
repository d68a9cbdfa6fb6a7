// The pictures compiled into the program, each decoded once per window that shows
// it, when first asked for: the ones drawn at 1x, or at 2x for a dense screen
// (with a device pixel ratio of 2, so they keep their sizes below).
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
  // density: 1 or 2, as forms::ArtworkDensity says for the screen.
  explicit Artwork(int density = 1) : density_(density) {}

  const QPixmap& Background() const { return Decoded(kBackground); }  // 1280 x 830
  const QPixmap& RowPlate() const { return Decoded(kRowPlate); }      // 950 x 36
  const QPixmap& Refresh() const { return Decoded(kRefresh); }        // 115 x 16
  const QPixmap& Close() const { return Decoded(kClose); }            // 16 x 16
  const QPixmap& Minimise() const { return Decoded(kMinimise); }      // 16 x 16
  const QPixmap& EnterGame(ButtonLook look) const {                   // 74 x 25
    return Decoded(static_cast<Name>(kEnterGameNormal + static_cast<int>(look)));
  }
  const QPixmap& WebSite(ButtonLook look) const {  // 46 x 22
    return Decoded(static_cast<Name>(kWebSiteNormal + static_cast<int>(look)));
  }
  static QString BadgeFile();  // GIF89a, 98 x 46, animated
  static QIcon ApplicationIcon();

 private:
  // In the order of ButtonLook within each button.
  enum Name {
    kBackground,
    kRowPlate,
    kRefresh,
    kClose,
    kMinimise,
    kEnterGameNormal,
    kEnterGamePressed,
    kEnterGameHot,
    kWebSiteNormal,
    kWebSitePressed,
    kWebSiteHot,
    kPictureCount
  };
  // Decoding is a large part of a window's making: each picture is decoded when
  // first asked for, so a window that shows few pays for few, and the main window
  // has its own decoded while it waits at start-up anyway.
  const QPixmap& Decoded(Name name) const;

  int density_;
  mutable std::array<QPixmap, kPictureCount> pictures_;
};

}  // namespace tandrel::ui

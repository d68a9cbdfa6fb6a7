#include "Artwork.h"

#include <stdexcept>

namespace tandrel::ui {
namespace {

QPixmap Load(const char* name) {
  QPixmap pixmap(QStringLiteral(":/art/%1").arg(QLatin1String(name)));
  if (pixmap.isNull()) throw std::runtime_error(std::string("The picture ") + name + " is missing from the program");
  return pixmap;
}

}  // namespace

Artwork::Artwork()
    : background_(Load("background.png")),
      rowPlate_(Load("row-plate.png")),
      refresh_(Load("refresh.png")),
      close_(Load("close.png")),
      minimise_(Load("minimise.png")),
      enterGame_{Load("enter-game-normal.png"), Load("enter-game-pressed.png"), Load("enter-game-hot.png")},
      webSite_{Load("web-site-normal.png"), Load("web-site-pressed.png"), Load("web-site-hot.png")} {}

QString Artwork::BadgeFile() { return QStringLiteral(":/art/badge.gif"); }

QIcon Artwork::ApplicationIcon() { return QIcon(QStringLiteral(":/art/icon.png")); }

}  // namespace tandrel::ui

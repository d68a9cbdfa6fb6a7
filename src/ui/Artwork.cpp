#include "Artwork.h"

#include <iterator>
#include <stdexcept>
#include <string>

namespace tandrel::ui {
namespace {

// Each as drawn at 1x and at 2x.
constexpr const char* kFiles[][2] = {{"background.png", "background@2x.jpg"},
                                     {"row-plate.png", "row-plate@2x.png"},
                                     {"refresh.png", "refresh@2x.png"},
                                     {"close.png", "close@2x.png"},
                                     {"minimise.png", "minimise@2x.png"},
                                     {"enter-game-normal.png", "enter-game-normal@2x.png"},
                                     {"enter-game-pressed.png", "enter-game-pressed@2x.png"},
                                     {"enter-game-hot.png", "enter-game-hot@2x.png"},
                                     {"web-site-normal.png", "web-site-normal@2x.png"},
                                     {"web-site-pressed.png", "web-site-pressed@2x.png"},
                                     {"web-site-hot.png", "web-site-hot@2x.png"}};

}  // namespace

const QPixmap& Artwork::Decoded(Name name) const {
  static_assert(std::size(kFiles) == kPictureCount);
  QPixmap& picture = pictures_[name];
  if (picture.isNull()) {
    const char* file = kFiles[name][density_ == 2 ? 1 : 0];
    picture = QPixmap(QStringLiteral(":/art/%1").arg(QLatin1String(file)));
    if (picture.isNull()) throw std::runtime_error(std::string("The picture ") + file + " is missing from the program");
    picture.setDevicePixelRatio(density_ == 2 ? 2.0 : 1.0);
  }
  return picture;
}

QString Artwork::BadgeFile() { return QStringLiteral(":/art/badge.gif"); }

QIcon Artwork::ApplicationIcon() { return QIcon(QStringLiteral(":/art/icon.png")); }

}  // namespace tandrel::ui

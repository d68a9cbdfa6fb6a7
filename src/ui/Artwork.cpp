#include "Artwork.h"

#include <iterator>
#include <stdexcept>
#include <string>

namespace tandrel::ui {
namespace {

constexpr const char* kFiles[] = {"background.png",
                                  "row-plate.png",
                                  "refresh.png",
                                  "close.png",
                                  "minimise.png",
                                  "enter-game-normal.png",
                                  "enter-game-pressed.png",
                                  "enter-game-hot.png",
                                  "web-site-normal.png",
                                  "web-site-pressed.png",
                                  "web-site-hot.png"};

}  // namespace

const QPixmap& Artwork::Decoded(Name name) const {
  static_assert(std::size(kFiles) == kPictureCount);
  QPixmap& picture = pictures_[name];
  if (picture.isNull()) {
    const char* file = kFiles[name];
    picture = QPixmap(QStringLiteral(":/art/%1").arg(QLatin1String(file)));
    if (picture.isNull()) throw std::runtime_error(std::string("The picture ") + file + " is missing from the program");
  }
  return picture;
}

QString Artwork::BadgeFile() { return QStringLiteral(":/art/badge.gif"); }

QIcon Artwork::ApplicationIcon() { return QIcon(QStringLiteral(":/art/icon.png")); }

}  // namespace tandrel::ui

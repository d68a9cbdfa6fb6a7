#include "Badge.h"

#include "Artwork.h"

#include <QImageReader>

namespace tandrel::ui {

Badge::Badge() {
  QImageReader reader(Artwork::BadgeFile());
  std::vector<std::chrono::milliseconds> delays;
  while (reader.canRead()) {
    const QImage frame = reader.read();
    if (frame.isNull()) break;
    frames_.push_back(QPixmap::fromImage(frame));
    delays.emplace_back(reader.nextImageDelay());  // the delay of the frame just read
  }
  animation_ = std::make_unique<forms::BadgeAnimation>(std::move(delays));
}

const QPixmap& Badge::CurrentFrame() const {
  static const QPixmap none;
  return frames_.empty() ? none : frames_[animation_->CurrentFrame()];
}

}  // namespace tandrel::ui

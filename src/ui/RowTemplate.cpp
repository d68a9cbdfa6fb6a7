#include "RowTemplate.h"

#include "Look.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace tandrel::ui {
namespace {

QRect ToQRect(const forms::Rect& r) { return {r.left, r.top, r.width, r.height}; }

}  // namespace

RowTemplate::RowTemplate(const Artwork& art, const Badge& badge) : art_(art), badge_(badge), font_(look::YaHei(15)) {}

int RowTemplate::TextWidth(const std::string& utf8) const {
  return QFontMetrics(font_).horizontalAdvance(QString::fromStdString(utf8));
}

void RowTemplate::Paint(QPainter& painter, QPoint origin, const forms::BoundRow& row, forms::ButtonLook enterGame,
                        forms::ButtonLook webSite) const {
  using namespace forms::row_layout;
  painter.save();
  painter.translate(origin);
  painter.drawPixmap(QRect(kImage3.left, kImage3.top, row.Image3Width, kImage3.height), art_.RowPlate());

  // Texts are one line, as wide as they are, drawn over whatever lies beneath.
  painter.setFont(font_);
  const auto text = [&](int left, const std::string& s, const QColor& color) {
    painter.setPen(color);
    painter.drawText(QRect(left, kLabelTop, 4000, kLabelHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(s));
  };
  text(kLabel4Left, row.Label4Caption, look::kServerName);
  text(kLabel5Left, row.Label5Caption, look::kIntroduction);
  text(kLabel6Left, row.Label6Caption, look::kOpeningTime);

  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(ToQRect(kControlListButton1), art_.EnterGame(enterGame));
  // The smaller web-site picture sits centred in its button's box.
  const QPixmap& site = art_.WebSite(webSite);
  const QRect box = ToQRect(kControlListButton2);
  painter.drawPixmap(box.x() + (box.width() - site.width()) / 2, box.y() + (box.height() - site.height()) / 2, site);
  painter.restore();
}

void RowTemplate::PaintBadge(QPainter& painter, const QRect& box) const {
  const QPixmap& frame = badge_.CurrentFrame();
  if (frame.isNull()) return;
  const qreal ratio = painter.device()->devicePixelRatioF();
  const QSize pixels = (QSizeF(box.size()) * ratio).toSize();
  if (scaledFrom_ != &frame || scaled_.size() != pixels) {
    scaled_ = frame.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled_.setDevicePixelRatio(ratio);
    scaledFrom_ = &frame;
  }
  painter.drawPixmap(box.topLeft(), scaled_);
}

}  // namespace tandrel::ui

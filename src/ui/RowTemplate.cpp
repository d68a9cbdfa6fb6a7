#include "RowTemplate.h"

#include "LayoutRects.h"
#include "Look.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace tandrel::ui {
RowTemplate::RowTemplate(const Artwork& art, const Badge& badge, const forms::RowLayout& layout)
    : art_(art), badge_(badge), layout_(layout), font_(look::YaHei(layout.labelFont)) {}

int RowTemplate::TextWidth(const std::string& utf8) const {
  return QFontMetrics(font_).horizontalAdvance(QString::fromStdString(utf8));
}

void RowTemplate::Paint(QPainter& painter, QPoint origin, const forms::BoundRow& row, forms::ButtonLook enterGame,
                        forms::ButtonLook webSite) const {
  const forms::RowLayout& l = layout_;
  painter.save();
  painter.translate(origin);
  painter.drawPixmap(QRect(l.Image3.left, l.Image3.top, row.Image3Width, l.Image3.height), art_.RowPlate());

  // Texts are one line, as wide as they are, drawn over whatever lies beneath.
  painter.setFont(font_);
  const auto text = [&](int left, const std::string& s, const QColor& color) {
    painter.setPen(color);
    painter.drawText(QRect(left, l.labelTop, 4000, l.labelHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromStdString(s));
  };
  text(l.Label4Left, row.Label4Caption, look::kServerName);
  text(l.Label5Left, row.Label5Caption, look::kIntroduction);
  text(l.Label6Left, row.Label6Caption, look::kOpeningTime);

  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(ToQRect(l.ControlListButton1), art_.EnterGame(enterGame));
  // The smaller web-site picture sits centred in its button's box, at the layout's scale.
  const QPixmap& site = art_.WebSite(webSite);
  const forms::Size size = l.webSitePicture;
  const QRect box = ToQRect(l.ControlListButton2);
  painter.drawPixmap(QRect(box.x() + (box.width() - size.width) / 2, box.y() + (box.height() - size.height) / 2,
                           size.width, size.height),
                     site);
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

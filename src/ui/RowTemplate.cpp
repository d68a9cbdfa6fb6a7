#include "RowTemplate.h"

#include "Look.h"

#include <QFontMetrics>
#include <QMovie>
#include <QPainter>

namespace tandrel::ui {
namespace {

// Positions within a row, at 100 % scale.
const QRect kPlate{3, 2, 945, 36};
constexpr int kNameLeft = 84, kIntroductionLeft = 293, kOpeningTimeLeft = 690, kTextTop = 11, kTextHeight = 20;
const QRect kBadge{15, 6, 50, 24};
const QRect kEnterGame{832, 9, 74, 25};
const QRect kWebSite{232, 10, 74, 25};

}  // namespace

RowTemplate::RowTemplate(const Artwork& art, QMovie& badge) : art_(art), badge_(badge), font_(look::YaHei(15)) {}

void RowTemplate::Bind(const TBoxConfig& entry, std::size_t entryCount) {
  // With a scroll bar the rows are narrower, and so is the plate.
  plateWidth_ = entryCount <= kRowsWithoutScrollBar ? 945 : 930;
  name_ = QString::fromStdString(entry.ServerName);
  introduction_ = QString::fromStdString(entry.BriefIntroduction);
  openingTime_ = QString::fromStdString(entry.BeginTime);
}

QRect RowTemplate::TextBox(int left, const QString& text) const {
  return QRect(left, kTextTop, QFontMetrics(font_).horizontalAdvance(text), kTextHeight);
}

void RowTemplate::Paint(QPainter& painter, QPoint origin, ButtonLook enterGame, ButtonLook webSite) const {
  painter.save();
  painter.translate(origin);
  painter.drawPixmap(QRect(kPlate.topLeft(), QSize(plateWidth_, kPlate.height())), art_.RowPlate());

  // Texts are one line, as wide as they are, drawn over whatever lies beneath.
  painter.setFont(font_);
  const auto text = [&](int left, const QString& s, const QColor& color) {
    painter.setPen(color);
    painter.drawText(QRect(left, kTextTop, 4000, kTextHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, s);
  };
  text(kNameLeft, name_, look::kServerName);
  text(kIntroductionLeft, introduction_, look::kIntroduction);
  text(kOpeningTimeLeft, openingTime_, look::kOpeningTime);

  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(kBadge, badge_.currentPixmap());
  painter.drawPixmap(kEnterGame, art_.EnterGame(enterGame));
  const QPixmap& site = art_.WebSite(webSite);
  painter.drawPixmap(kWebSite.x() + (kWebSite.width() - site.width()) / 2,
                     kWebSite.y() + (kWebSite.height() - site.height()) / 2, site);
  painter.restore();
}

RowTemplate::Control RowTemplate::ControlAt(QPoint p) const {
  // Topmost first: the reverse of the drawing order. A button's whole box counts.
  if (kWebSite.contains(p)) return Control::WebSite;
  if (kEnterGame.contains(p)) return Control::EnterGame;
  if (kBadge.contains(p)) return Control::Badge;
  if (TextBox(kOpeningTimeLeft, openingTime_).contains(p)) return Control::OpeningTime;
  if (TextBox(kIntroductionLeft, introduction_).contains(p)) return Control::Introduction;
  if (TextBox(kNameLeft, name_).contains(p)) return Control::Name;
  if (QRect(kPlate.topLeft(), QSize(plateWidth_, kPlate.height())).contains(p)) return Control::Plate;
  return Control::None;
}

}  // namespace tandrel::ui

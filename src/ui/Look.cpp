#include "Look.h"

#include <QLabel>

namespace tandrel::ui::look {

QFont YaHei(int pixelSize, bool bold) {
  // Without substitutes the fallback takes Japanese glyph shapes for the Chinese text.
  static const bool substituted = [] {
    const QStringList faces = {"Microsoft YaHei", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "Droid Sans Fallback"};
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), faces);
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"), faces.mid(1));
    return true;
  }();
  (void)substituted;
  QFont font(QStringLiteral("微软雅黑"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QLabel* Label(QWidget* parent, const QString& text, QPoint at, const QFont& font, const QColor& colour) {
  auto* label = new QLabel(text, parent);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace tandrel::ui::look

#include "Look.h"

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

}  // namespace tandrel::ui::look

// The box's fonts, the palette its layouts set themselves and its texts.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

class QLabel;
class QWidget;

namespace tandrel::ui::look {

inline const QColor kListBackground{0x2D, 0x2F, 0x32};
inline const QColor kHighlight{0xBE, 0x54, 0x06};
inline const QColor kServerName{0xFE, 0xF3, 0xD8};
inline const QColor kIntroduction{0xFF, 0xC1, 0x3D};
inline const QColor kOpeningTime{0xF6, 0x35, 0x15};
inline const QColor kHeading{0x85, 0x76, 0x6C};

// "微软雅黑" where installed, else a Simplified Chinese face that is.
QFont YaHei(int pixelSize, bool bold = false);

// A text of the windows' layouts: its own font and colour, which the visual style
// leaves alone, see-through, sized to its text at its place.
QLabel* Label(QWidget* parent, const QString& text, QPoint at, const QFont& font, const QColor& colour);

}  // namespace tandrel::ui::look

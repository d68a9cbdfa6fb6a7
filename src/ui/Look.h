// The box's fonts and the palette its layouts set themselves.
#pragma once

#include <QColor>
#include <QFont>

namespace tandrel::ui::look {

inline const QColor kListBackground{0x2D, 0x2F, 0x32};
inline const QColor kHighlight{0xBE, 0x54, 0x06};
inline const QColor kServerName{0xFE, 0xF3, 0xD8};
inline const QColor kIntroduction{0xFF, 0xC1, 0x3D};
inline const QColor kOpeningTime{0xF6, 0x35, 0x15};
inline const QColor kHeading{0x85, 0x76, 0x6C};

// "微软雅黑" where installed, else a Simplified Chinese face that is.
QFont YaHei(int pixelSize, bool bold = false);

}  // namespace tandrel::ui::look

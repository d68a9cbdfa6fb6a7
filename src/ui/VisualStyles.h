// The box's named visual styles: "Windows11 MineShaft" (dark grey, blue accents)
// for the whole application and "Auric" (dark grey, gold accents) for the
// download dialog's progress bar.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace tandrel::ui {

inline constexpr const char* kMainStyle = "Windows11 MineShaft";
inline constexpr const char* kProgressStyle = "Auric";

// Makes the style of that name (any letter case) the application's. An unknown
// name shows the error box "Style '%s' not found" and leaves the default look.
bool ApplyStyle(const QString& name);

// Gives one widget (and its children) the style of that name; false when unknown.
bool ApplyStyleTo(QWidget& widget, const QString& name);

// The main style's colours of the list's own scroll bar.
struct ScrollBarColours {
  QColor track, thumb, hot, pressed;
};
ScrollBarColours MainScrollBarColours();

}  // namespace tandrel::ui

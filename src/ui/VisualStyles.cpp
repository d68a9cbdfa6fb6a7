#include "VisualStyles.h"

#include "FailureReport.h"
#include "Lifecycle.h"

#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QWidget>

#include <array>

namespace tandrel::ui {
namespace {

struct Style {
  const char* name;
  QPalette (*palette)();
  const char* sheet;
};

QPalette DarkPalette(const QColor& accent) {
  QPalette p;
  const QColor face(0x2B, 0x2C, 0x2E), base(0x1E, 0x1F, 0x21), text(0xE6, 0xE6, 0xE6);
  p.setColor(QPalette::Window, face);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, face);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x3A, 0x3B, 0x3E));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, accent);
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, face);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Link, accent.lighter(130));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  return p;
}

QPalette MineShaftPalette() { return DarkPalette(QColor(0x2F, 0x8C, 0xE6)); }
QPalette AuricPalette() { return DarkPalette(QColor(0xD9, 0xA4, 0x2B)); }

// Only what the layouts do not colour themselves: buttons, message boxes,
// progress bars. Texts keep their own fonts and colours; the list draws its own
// scroll bar (ScrollBarColours).
constexpr const char* kMineShaftSheet = R"(
QMessageBox, QDialog { background: #2B2C2E; }
QMessageBox QLabel { color: #E6E6E6; }
QPushButton { background: #3A3B3E; color: #E6E6E6; border: 1px solid #4A4D52; border-radius: 4px;
              padding: 4px 18px; min-width: 64px; }
QPushButton:hover { border-color: #2F8CE6; }
QPushButton:pressed { background: #2F8CE6; }
QPushButton:default { border-color: #2F8CE6; }
)";

constexpr const char* kAuricSheet = R"(
QProgressBar { background: #1E1F21; border: 1px solid #5A4A2A; border-radius: 3px; color: transparent; }
QProgressBar::chunk { border-radius: 2px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFE08A, stop:0.45 #E9B447, stop:1 #A8701C); }
)";

constexpr std::array<Style, 2> kStyles = {{
    {kMainStyle, MineShaftPalette, kMineShaftSheet},
    {kProgressStyle, AuricPalette, kAuricSheet},
}};

const Style* Find(const QString& name) {
  for (const Style& s : kStyles) {
    if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) return &s;
  }
  return nullptr;
}

}  // namespace

ScrollBarColours MainScrollBarColours() {
  return {QColor(0x23, 0x24, 0x27), QColor(0x4A, 0x4D, 0x52), QColor(0x2F, 0x8C, 0xE6), QColor(0x1F, 0x6F, 0xBF)};
}

bool ApplyStyle(const QString& name) {
  const Style* style = Find(name);
  if (!style) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), QStringLiteral("Style '%1' not found").arg(name),
                    QMessageBox::Close);
    ShowModal(box);
    return false;
  }
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setPalette(style->palette());
  qApp->setStyleSheet(QString::fromLatin1(style->sheet));
  return true;
}

bool ApplyStyleTo(QWidget& widget, const QString& name) {
  const Style* style = Find(name);
  if (!style) return false;
  widget.setPalette(style->palette());
  widget.setStyleSheet(QString::fromLatin1(style->sheet));
  return true;
}

}  // namespace tandrel::ui

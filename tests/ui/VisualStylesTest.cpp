// The named styles: found in any letter case, an error box for an unknown name,
// texts that keep their own colours whatever style is active, and message boxes
// centred with plain buttons.
#include "ui/Lifecycle.h"
#include "ui/Look.h"
#include "ui/RowTemplate.h"
#include "ui/VisualStyles.h"

#include "support/UiSupport.h"

#include <QApplication>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tandrel::ui {
namespace {

TEST(VisualStyles, FindsBothStylesInAnyLetterCase) {
  test::ModalWatcher modals;
  for (const char* name : {"Windows11 MineShaft", "windows11 mineshaft", "WINDOWS11 MINESHAFT", "Auric", "aURIC"}) {
    EXPECT_TRUE(ApplyStyle(QString::fromLatin1(name))) << name;
  }
  EXPECT_TRUE(modals.Texts().isEmpty());
  QProgressBar bar;
  EXPECT_TRUE(ApplyStyleTo(bar, "AURIC"));
  EXPECT_FALSE(ApplyStyleTo(bar, "Carbon"));
  ApplyStyle(QString::fromLatin1(kMainStyle));
}

TEST(VisualStyles, AnUnknownNameShowsTheErrorBoxAndKeepsGoing) {
  test::ModalWatcher modals;
  EXPECT_FALSE(ApplyStyle("Windows11 Carbon"));
  ASSERT_EQ(modals.Texts().size(), 1);
  EXPECT_EQ(modals.Texts().front(), "Style 'Windows11 Carbon' not found");
  ApplyStyle(QString::fromLatin1(kMainStyle));
}

// The row's texts drawn under each style: the same pixels, in their own colours.
QImage RowUnder(const char* style) {
  ApplyStyle(QString::fromLatin1(style));
  Artwork art;
  Badge badge;
  RowTemplate row(art, badge, forms::RowLayout{});
  const forms::BoundRow bound{945, "■■■■", "■■■■", "■■■■"};
  QImage image(952, 40, QImage::Format_RGB32);
  image.fill(look::kListBackground);
  QPainter painter(&image);
  row.Paint(painter, {0, 0}, bound, forms::ButtonLook::Normal, forms::ButtonLook::Normal);
  return image;
}

TEST(VisualStyles, TextsKeepTheirOwnColoursWhateverTheStyle) {
  const QImage main = RowUnder(kMainStyle);
  const QImage gold = RowUnder(kProgressStyle);
  EXPECT_EQ(main, gold);
  // A solid glyph shows the text colour itself.
  const auto hasColour = [&](int left, const QColor& colour) {
    for (int x = left; x < left + 60; ++x) {
      for (int y = 11; y < 31; ++y) {
        if (main.pixelColor(x, y) == colour) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(hasColour(84, look::kServerName));
  EXPECT_TRUE(hasColour(293, look::kIntroduction));
  EXPECT_TRUE(hasColour(690, look::kOpeningTime));
  ApplyStyle(QString::fromLatin1(kMainStyle));
}

// Every kind of message box the box shows, shown for real: each sits exactly
// centred over its parent's window or on the screen, kept on the screen, and no
// button of it carries an icon.
void CheckMessageBoxes() {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const auto window = [](const QRect& place) {
    auto shown = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    shown->setGeometry(place);
    shown->show();
    return shown;
  };
  const auto middle = window(screen.adjusted(40, 60, -100, -80));
  const auto corner = window(QRect(screen.right() - 200, screen.bottom() - 150, 500, 400));  // half off the screen
  ASSERT_TRUE(
      test::WaitFor([&] { return middle->windowHandle()->isExposed() && corner->windowHandle()->isExposed(); }));
  struct Case {
    QString text;
    const QWidget* over;  // none: the screen
    int buttons;
    std::function<void()> show;
  };
  const Case cases[] = {
      {"over its window", middle.get(), 1,
       [&] { ShowMessage(middle.get(), QMessageBox::Critical, "Box", "over its window"); }},
      {"over a window half off the screen", corner.get(), 1,
       [&] { ShowMessage(corner.get(), QMessageBox::Critical, "Box", "over a window half off the screen"); }},
      {"on the screen", nullptr, 1, [] { ShowMessage(nullptr, QMessageBox::NoIcon, "Box", "on the screen"); }},
      {"Style 'Windows11 Carbon' not found", nullptr, 1, [] { ApplyStyle("Windows11 Carbon"); }},
      {"with three buttons", nullptr, 3,
       [] {
         QMessageBox box(QMessageBox::Question, "Box", "with three buttons",
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
         ShowModal(box);
       }},
  };
  test::ModalWatcher modals;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const auto before = modals.Boxes().size();
    c.show();
    ASSERT_EQ(modals.Boxes().size(), before + 1);
    const test::ShownBox& box = modals.Boxes().back();
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.geometry.topLeft(), test::CentredOnScreen(box.geometry.size(), c.over ? c.over->geometry() : screen));
    EXPECT_EQ(box.buttons, c.buttons);
    EXPECT_EQ(box.buttonsWithIcons, 0);
  }
}

// Puts the standard icons on dialog buttons (a check mark on OK), as the desktop
// themes under X do; offscreen none asks for them.
class ButtonIconStyle final : public QProxyStyle {
 public:
  ButtonIconStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

TEST(VisualStyles, MessageBoxesSitCentredWithPlainButtons) {
  QApplication::setStyle(new ButtonIconStyle);
  CheckMessageBoxes();
  ApplyStyle(QString::fromLatin1(kMainStyle));
}

// Without a window manager no frame is reported, and Qt's own centring guesses one.
TEST(VisualStyles, MessageBoxesSitCentredWithPlainButtonsOnABareXServer) {
  if (!test::OnBareX()) return;
  CheckMessageBoxes();
}

}  // namespace
}  // namespace tandrel::ui

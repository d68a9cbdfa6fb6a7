// The named styles: found in any letter case, an error box for an unknown name,
// and texts that keep their own colours whatever style is active.
#include "ui/Look.h"
#include "ui/RowTemplate.h"
#include "ui/VisualStyles.h"

#include "support/UiSupport.h"

#include <QApplication>
#include <QMovie>
#include <QPainter>
#include <QProgressBar>
#include <gtest/gtest.h>

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
  QMovie badge(Artwork::BadgeFile());
  RowTemplate row(art, badge);
  TBoxConfig entry;
  entry.ServerName = "■■■■";
  entry.BriefIntroduction = "■■■■";
  entry.BeginTime = "■■■■";
  row.Bind(entry, 3);
  QImage image(952, 40, QImage::Format_RGB32);
  image.fill(look::kListBackground);
  QPainter painter(&image);
  row.Paint(painter, {0, 0}, ButtonLook::Normal, ButtonLook::Normal);
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

}  // namespace
}  // namespace tandrel::ui

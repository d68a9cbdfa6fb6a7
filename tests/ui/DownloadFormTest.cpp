// The download dialog's Qt window against a loopback server: what its widgets
// show, its pixels, real clicks and keys, and its modal loop and place.
#include "ui/uDownloadForm.h"

#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "support/UiSupport.h"

#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace tandrel::ui {
namespace {

using namespace std::chrono_literals;

// Bodies sent in 64 KiB pieces, slowly enough that the dialog shows them.
class DownloadFormTest : public ::testing::Test {
 protected:
  DownloadFormTest() { server_.Set("pause-ms", "10"); }

  // Over a main window in the middle of the screen and over one half off it: the
  // dialog sits exactly centred over the window, kept on the screen.
  void CheckCentredOverTheMainWindow() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect middle = screen.adjusted(40, 60, -100, -80);
    const QRect corner(screen.right() - 200, screen.bottom() - 150, 980, 939);
    for (const QRect& place : {middle, corner}) {
      QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
      main.setGeometry(place);
      main.show();
      DownloadDialog dialog(&main, art_);
      QRect shown;
      QTimer look;  // once the window system shows the dialog, where it sits; then cancel
      look.setInterval(10);
      QObject::connect(&look, &QTimer::timeout, [&] {
        if (shown.isNull() && dialog.windowHandle() && dialog.windowHandle()->isExposed()) {
          shown = dialog.geometry();
          dialog.close();
        }
      });
      look.start();
      EXPECT_EQ(dialog.Download(Request("abc", server_.Url("/held")), file_), DownloadResult::Cancelled);
      EXPECT_EQ(shown, QRect(test::CentredOnScreen(QSize(423, 124), place), QSize(423, 124)));
    }
  }

  download::DownloadRequest Request(const std::string& name, const std::string& url) const {
    return {name, {url}, dir_ / "file.Dat", UINT64_MAX, 1, false};
  }

  test::TempDir dir_;
  download::DownloadedFile file_;
  test::LoopbackServer server_{"download"};
  Artwork art_;
  QWidget owner_;
};

TEST_F(DownloadFormTest, ItsWidgetsShowWhatTheDialogSays) {
  DownloadDialog created(&owner_, art_);
  EXPECT_EQ(created.Title(), "下载中...");
  EXPECT_EQ(created.ProgressText(), "已下载0%");
  EXPECT_EQ(created.ProgressBar().value(), 0);
  EXPECT_EQ(created.size(), QSize(423, 124));
  const struct {
    const char* path;
    const char* progress;
    int maximum, value;
  } cases[] = {{"/sized/1048576", "已下载100%", 100, 100}, {"/unsized/1048576", "已下载1.0 MB", 0, 0}};
  for (const auto& c : cases) {
    DownloadDialog dialog(&owner_, art_);
    ASSERT_EQ(dialog.Download(Request("abc", server_.Url(c.path)), file_), DownloadResult::Completed);
    EXPECT_EQ(dialog.Title(), "下载中 abc ...");
    EXPECT_EQ(dialog.ProgressText(), c.progress);
    EXPECT_EQ(dialog.ProgressBar().maximum(), c.maximum) << c.path;
    EXPECT_EQ(dialog.ProgressBar().value(), c.value) << c.path;
    EXPECT_EQ(dialog.SpeedText().toStdString(), dialog.Form().View().SpeedCaption);
  }
}

TEST_F(DownloadFormTest, DrawsTheBarInGoldOnTheDarkFace) {
  DownloadDialog dialog(&owner_, art_);
  QImage shot;
  QObject::connect(&dialog, &DownloadDialog::painted, [&] {
    if (shot.isNull() && dialog.ProgressBar().value() >= 40) {
      shot = dialog.grab().toImage();
      shot.save(QStringLiteral(TANDREL_SCREENSHOTS "/download-dialog.png"));
    }
  });
  ASSERT_EQ(dialog.Download(Request("corvessa_dawn", server_.Url("/sized/2097152")), file_), DownloadResult::Completed);
  ASSERT_FALSE(shot.isNull());
  const QColor filled = shot.pixelColor(32 + 345 / 5, 66 + 8), empty = shot.pixelColor(32 + 345 * 9 / 10, 66 + 8);
  EXPECT_GT(filled.red(), 150);  // gold: strong red, less green, little blue
  EXPECT_GT(filled.red(), filled.blue() + 80);
  EXPECT_LT(empty.lightness(), 60);                    // the groove beyond is dark
  EXPECT_LT(shot.pixelColor(5, 110).lightness(), 70);  // the dialog's face is the dark style's
}

TEST_F(DownloadFormTest, ClosingHalfwayIsACancelAndLeavesTheBufferAlone) {
  auto dialog = std::make_unique<DownloadDialog>(&owner_, art_);
  QObject::connect(dialog.get(), &DownloadDialog::painted, [&] {
    if (dialog->ProgressBar().value() >= 50) {
      auto* close = dialog->childAt(399 + 8, 8 + 8);
      QTest::mouseClick(close, Qt::LeftButton);
    }
  });
  EXPECT_EQ(dialog->Download(Request("abc", server_.Url("/sized/4194304")), file_), DownloadResult::Cancelled);
  EXPECT_LT(test::ReadFile(dir_ / "file.Dat.part").size(), 4194304u);  // kept for the next time
  // The caller may drop the dialog at once; no later report may reach it.
  dialog.reset();
  test::Spin(300ms);
}

// A failure is retried, each wait said in the dialog; then the dialog ends
// without a box of its own (the launch flow says it once).
TEST_F(DownloadFormTest, AFailureIsRetriedThenEndsQuietly) {
  test::ModalWatcher modals;
  const std::string unreachable = test::UnreachableUrl("/launcher.exe");
  DownloadDialog dialog(&owner_, art_);
  dialog.Form().SetRetryWaits({20ms, 20ms, 20ms});
  QStringList said;
  QObject::connect(&dialog, &DownloadDialog::painted, [&] {
    if (!dialog.SpeedText().isEmpty()) said << dialog.SpeedText();
  });
  EXPECT_EQ(dialog.Download(Request("abc", unreachable), file_), DownloadResult::Failed);
  EXPECT_EQ(said, (QStringList{"网络不稳定,正在重试 (1/3)...", "网络不稳定,正在重试 (2/3)...",
                               "网络不稳定,正在重试 (3/3)..."}));
  EXPECT_TRUE(modals.Texts().isEmpty());
}

TEST_F(DownloadFormTest, SitsCentredOverTheMainWindow) { CheckCentredOverTheMainWindow(); }

// Without a window manager no frame is reported, and Qt's own centring guesses one.
TEST_F(DownloadFormTest, SitsCentredOverTheMainWindowOnABareXServer) {
  if (!test::OnBareX()) return;
  CheckCentredOverTheMainWindow();
}

TEST_F(DownloadFormTest, EscapeDoesNothing) {
  DownloadDialog dialog(&owner_, art_);
  int pressed = 0;
  QObject::connect(&dialog, &DownloadDialog::painted, [&] {
    if (!dialog.isVisible()) return;
    QTest::keyClick(&dialog, Qt::Key_Escape);
    ++pressed;
  });
  EXPECT_EQ(dialog.Download(Request("abc", server_.Url("/sized/300000")), file_), DownloadResult::Completed);
  EXPECT_EQ(file_.size, 300000u);
  EXPECT_GT(pressed, 0);
}

}  // namespace
}  // namespace tandrel::ui

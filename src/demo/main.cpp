// A stand-in game launcher for the demo site: a small window in the box's look
// that says which server's launcher was started. It leaves a line with its own
// path in the file named by TANDREL_LAUNCHER_PROOF, so tests can see it ran.
#include "ui/Artwork.h"
#include "ui/Look.h"
#include "ui/Pictures.h"
#include "ui/VisualStyles.h"

#include "core/ProgramPaths.h"
#include "core/forms/WindowLayout.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace tandrel;

// The launcher's name is its file name: "corvessa_dawn.exe" or "corvessa_dawn-7.exe".
QString LauncherName() {
  QString name = QString::fromStdString(ExeFileName());
  name = name.left(name.lastIndexOf('.') < 0 ? name.size() : name.lastIndexOf('.'));
  return name;
}

class LauncherWindow final : public QWidget {
 public:
  explicit LauncherWindow(const ui::Artwork& art) : art_(art) {
    setWindowTitle(LauncherName());
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(440, 200);
    auto* title = new QLabel(QStringLiteral("《%1》").arg(LauncherName()), this);
    title->setFont(ui::look::YaHei(22, true));
    Colour(*title, ui::look::kIntroduction);
    title->move(28, 62);
    title->adjustSize();
    auto* started = new QLabel(QStringLiteral("游戏启动器已启动 · 正在连接服务器 ..."), this);
    started->setFont(ui::look::YaHei(15));
    Colour(*started, ui::look::kServerName);
    started->move(30, 110);
    started->adjustSize();
    auto* close = new ui::PressPicture(this, QRect(412, 12, 16, 16), 1.0, forms::kPressShift);
    close->SetPixmap(art.Close());
    connect(close, &ui::PressPicture::clicked, this, &QWidget::close);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The foot of the box's background, where its fire burns.
    const QPixmap& bg = art_.Background();
    const int w = bg.width() / 2, h = w * height() / width();
    painter.drawPixmap(rect(), bg, QRect(bg.width() / 4, bg.height() - h, w, h));
    painter.fillRect(rect(), QColor(0, 0, 0, 120));
    painter.setPen(QColor(0x8A, 0x6A, 0x2E));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  static void Colour(QLabel& label, const QColor& colour) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
  }
  const ui::Artwork& art_;
};

}  // namespace

int main(int, char** argv) {
  if (const char* proof = std::getenv("TANDREL_LAUNCHER_PROOF")) {
    if (FILE* f = std::fopen(proof, "a")) {
      std::fprintf(f, "%s\n", ExePath().c_str());
      std::fclose(f);
    }
  }
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setWindowIcon(ui::Artwork::ApplicationIcon());
  ui::ApplyStyle(QString::fromLatin1(ui::kMainStyle));
  const ui::Artwork art;
  LauncherWindow window(art);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  window.move(screen.center() - window.rect().center() + QPoint(0, 160));
  window.show();
  return QApplication::exec();
}

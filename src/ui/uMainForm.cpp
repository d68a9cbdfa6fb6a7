#include "uMainForm.h"

#include "FailureReport.h"
#include "LayoutRects.h"
#include "Lifecycle.h"
#include "Look.h"
#include "ScreenLayout.h"

#include "core/forms/Centring.h"

#include <QGuiApplication>
#include <QScreen>

namespace tandrel::ui {
namespace {

QLabel* Heading(QWidget* parent, const QString& text, const forms::Point& at, int fontSize) {
  return look::Label(parent, text, {at.x, at.y}, look::YaHei(fontSize, true), look::kHeading);
}

}  // namespace

MainWindow::MainWindow(forms::MainFormOptions options)
    : layout_(LayoutOn(QGuiApplication::primaryScreen())),
      art_(ArtworkDensityOn(QGuiApplication::primaryScreen(), layout_)),
      Image6_(new WindowMovePicture(this,
                                    QRect(QPoint(0, 0), QSize(layout_.main.window.width, layout_.main.window.height)),
                                    Picture::Fit::Stretch)),
      Image1_(new PressPicture(this, ToQRect(layout_.main.Image1), layout_.scale.Factor(), layout_.pressShift)),
      Image2_(new WindowMovePicture(this, ToQRect(layout_.main.Image2), Picture::Fit::CentreUnscaled,
                                    layout_.scale.Factor())),
      Image7_(new PressPicture(this, ToQRect(layout_.main.Image7), layout_.scale.Factor(), layout_.pressShift)),
      Image8_(new PressPicture(this, ToQRect(layout_.main.Image8), layout_.scale.Factor(), layout_.pressShift)),
      ControlList1_(new ServerListView(
          art_, layout_, [this] { return form_.Config(); }, this)),
      form_(*this, timers_, *ControlList1_, std::move(options)) {
  setWindowTitle(QStringLiteral("MainForm"));
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setFixedSize(layout_.main.window.width, layout_.main.window.height);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, look::kListBackground);  // Panel1
  setPalette(palette);

  ControlList1_->setGeometry(ToQRect(layout_.main.ControlList1));
  ControlList1_->setFocus();

  connect(Image1_, &PressPicture::clicked, this, [this] { Guarded([this] { form_.Image1Click(); }); });
  connect(Image7_, &PressPicture::clicked, this, [this] { Guarded([this] { form_.Image7Click(); }); });
  connect(Image8_, &PressPicture::clicked, this, [this] { Guarded([this] { form_.Image8Click(); }); });
  connect(ControlList1_, &ServerListView::enterGameClicked, this,
          [this](int row) { Guarded([&] { form_.ControlListButton1Click(row); }); });
  connect(ControlList1_, &ServerListView::webSiteClicked, this,
          [this](int row) { Guarded([&] { form_.ControlListButton2Click(row); }); });

  PlaceOnScreen();
  // The pictures and the headings' fonts take a while to load; the start-up
  // sequence's first wait runs the queue, so they load while it waits, still
  // before the window is first painted.
  QMetaObject::invokeMethod(
      this, [this] { Guarded([this] { Furnish(); }); }, Qt::QueuedConnection);
  Guarded([this] { form_.FormCreate(); });
}

void MainWindow::Furnish() {
  Image6_->SetPixmap(art_.Background());
  Image1_->SetPixmap(art_.Refresh());
  Image7_->SetPixmap(art_.Close());
  Image8_->SetPixmap(art_.Minimise());
  Label2_ = Heading(this, QStringLiteral("进入游戏"), layout_.main.Label2, layout_.main.headingFont);
  Label1_ = Heading(this, QStringLiteral("新区开区时间"), layout_.main.Label1, layout_.main.headingFont);
  for (QLabel* heading : {Label2_, Label1_}) {
    heading->stackUnder(Image1_);  // where it would be had it been made with the background
    heading->show();
  }
}

MainWindow::~MainWindow() = default;

void MainWindow::PlaceOnScreen() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const forms::Size size = layout_.main.window;
  move(forms::CentredStart(screen.left(), screen.width(), size.width, screen.left(), screen.width()),
       forms::CentredStart(screen.top(), screen.height(), size.height, screen.top(), screen.height()));
}

bool MainWindow::ShowBanner(const http::Bytes& picture) {
  QPixmap banner;
  if (!banner.loadFromData(picture.data(), static_cast<uint>(picture.size()))) return false;
  Image2_->SetPixmap(banner);
  return true;
}

void MainWindow::RepaintListNow() { ControlList1_->RepaintNow(); }

void MainWindow::ClearListSelection() { ControlList1_->ClearSelection(); }

void MainWindow::Minimise() { showMinimized(); }

void MainWindow::Close() { close(); }

DownloadResult MainWindow::RunDownloadForm(const download::DownloadRequest& request, download::DownloadedFile& file) {
  DownloadDialog dialog(this, art_, layout_);
  emit downloadStarting(&dialog);
  return dialog.Download(request, file);
}

void MainWindow::ShowMessage(forms::MessageIcon icon, forms::MessagePlace place, const std::string& caption,
                             const std::string& text) {
  ui::ShowMessage(place == forms::MessagePlace::OverMainWindow ? this : nullptr,
                  icon == forms::MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QString::fromStdString(caption), QString::fromStdString(text));
}

}  // namespace tandrel::ui

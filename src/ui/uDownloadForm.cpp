#include "uDownloadForm.h"

#include "FailureReport.h"
#include "LayoutRects.h"
#include "Lifecycle.h"
#include "Look.h"
#include "VisualStyles.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace tandrel::ui {
DownloadDialog::DownloadDialog(QWidget* owner, const Artwork& art, const forms::WindowLayout& layout)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      Image7_(new PressPicture(this, ToQRect(layout.dialog.Image7), layout.scale.Factor(), layout.pressShift)),
      Label5_(look::Label(this, QString(), ToQPoint(layout.dialog.Label5), look::YaHei(layout.dialog.labelFont),
                          look::kIntroduction)),
      Label4_(look::Label(this, QString(), ToQPoint(layout.dialog.Label4), look::YaHei(layout.dialog.labelFont),
                          look::kServerName)),
      ProgressBar1_(new QProgressBar(this)),
      speed_(look::Label(this, QString(), ToQPoint(forms::Point{layout.dialog.speed.left, layout.dialog.speed.top}),
                         look::YaHei(layout.dialog.speedFont), look::kHeading)),
      dispatcher_(this),
      form_(*this, dispatcher_, timers_) {
  setFixedSize(layout.dialog.window.width, layout.dialog.window.height);
  setModal(true);
  setAutoFillBackground(true);  // the main style's dark face colour
  Image7_->SetPixmap(art.Close());
  ProgressBar1_->setGeometry(ToQRect(layout.dialog.ProgressBar1));
  ProgressBar1_->setTextVisible(false);
  ApplyStyleTo(*ProgressBar1_, QString::fromLatin1(kProgressStyle));
  speed_->setFixedWidth(layout.dialog.speed.width);
  speed_->setAlignment(Qt::AlignRight);
  connect(Image7_, &PressPicture::clicked, this, [this] { Guarded([this] { form_.Image7Click(); }); });
  Paint(form_.View());
}

DownloadDialog::~DownloadDialog() = default;

DownloadResult DownloadDialog::Download(const download::DownloadRequest& request, download::DownloadedFile& file) {
  return form_.Download(request, file);
}

void DownloadDialog::Paint(const forms::DownloadView& view) {
  Label5_->setText(QString::fromStdString(view.Label5Caption));
  Label5_->adjustSize();
  Label4_->setText(QString::fromStdString(view.Label4Caption));
  Label4_->adjustSize();
  ProgressBar1_->setRange(0, view.ProgressBar1Busy ? 0 : 100);
  ProgressBar1_->setValue(view.ProgressBar1Position);
  speed_->setText(QString::fromStdString(view.SpeedCaption));
  emit painted();
}

int DownloadDialog::ShowModal() { return ui::ShowModal(*this); }

void DownloadDialog::EndModal(int result) { done(result); }

void DownloadDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // A borderless window still wants an edge against whatever lies behind it.
  QPainter painter(this);
  painter.setPen(QColor(0x6B, 0x55, 0x2E));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// The dialog takes no keys: Escape does not close it.
void DownloadDialog::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void DownloadDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  Guarded([this] { form_.CloseRequest(); });
}

}  // namespace tandrel::ui

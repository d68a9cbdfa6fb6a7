#include "uDownloadForm.h"

#include "FailureReport.h"
#include "Lifecycle.h"
#include "Look.h"
#include "VisualStyles.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace tandrel::ui {

DownloadDialog::DownloadDialog(QWidget* owner, const Artwork& art)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      Image7_(new PressPicture(this, QRect(399, 8, 16, 16))),
      Label5_(look::Label(this, QString(), {32, 19}, look::YaHei(15), look::kIntroduction)),
      Label4_(look::Label(this, QString(), {300, 38}, look::YaHei(15), look::kServerName)),
      ProgressBar1_(new QProgressBar(this)),
      speed_(look::Label(this, QString(), {32, 88}, look::YaHei(12), look::kHeading)),
      dispatcher_(this),
      form_(*this, dispatcher_) {
  setFixedSize(423, 124);
  setModal(true);
  setAutoFillBackground(true);  // the main style's dark face colour
  Image7_->SetPixmap(art.Close());
  ProgressBar1_->setGeometry(32, 66, 345, 17);
  ProgressBar1_->setTextVisible(false);
  ApplyStyleTo(*ProgressBar1_, QString::fromLatin1(kProgressStyle));
  speed_->setFixedWidth(345);
  speed_->setAlignment(Qt::AlignRight);
  connect(Image7_, &PressPicture::clicked, this, [this] { Guarded([this] { form_.Image7Click(); }); });
  Paint(form_.View());
}

DownloadDialog::~DownloadDialog() = default;

DownloadResult DownloadDialog::Download(const QString& sName, const std::string& sUrlEX, http::Bytes& memoryStream,
                                        long* statusCode) {
  return form_.Download(sName.toStdString(), sUrlEX, memoryStream, statusCode);
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

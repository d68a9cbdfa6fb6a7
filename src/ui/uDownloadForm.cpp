#include "uDownloadForm.h"

#include "FailureReport.h"
#include "Lifecycle.h"
#include "Look.h"
#include "VisualStyles.h"

#include "core/Hutil32.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace tandrel::ui {
namespace {

QLabel* Text(QWidget* parent, QPoint at, const QColor& color, int pixelSize, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setFont(look::YaHei(pixelSize));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->move(at);
  label->adjustSize();
  return label;
}

QString Amount(std::int64_t bytes) {
  if (bytes < 1024 * 1024) return QStringLiteral("%1 KB").arg(bytes / 1024);
  return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

}  // namespace

TDownloadForm::TDownloadForm(QWidget* owner, const Artwork& art)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      Image7_(new PressPicture(this, QRect(399, 8, 16, 16))),
      Label5_(Text(this, {32, 19}, look::kIntroduction, 15, QStringLiteral("下载中..."))),
      Label4_(Text(this, {300, 38}, look::kServerName, 15, QStringLiteral("已下载0%"))),
      ProgressBar1_(new QProgressBar(this)),
      speed_(Text(this, {32, 88}, look::kHeading, 12, QString())),
      dispatcher_(this),
      DownloadClient_(&dispatcher_) {
  setFixedSize(423, 124);
  setModal(true);
  setAutoFillBackground(true);  // the main style's dark face colour
  Image7_->SetPixmap(art.Close());
  ProgressBar1_->setGeometry(32, 66, 345, 17);
  ProgressBar1_->setRange(0, 100);
  ProgressBar1_->setValue(0);
  ProgressBar1_->setTextVisible(false);
  ApplyStyleTo(*ProgressBar1_, QString::fromLatin1(kProgressStyle));
  speed_->setFixedWidth(345);
  speed_->setAlignment(Qt::AlignRight);
  connect(Image7_, &PressPicture::clicked, this, [this] { Finish(kCancelled); });
}

TDownloadForm::~TDownloadForm() = default;

bool TDownloadForm::Download(const QString& sName, const std::string& sUrlEX, http::Bytes& memoryStream,
                             long* statusCode) {
  FMemoryStream_ = &memoryStream;
  status_ = statusCode;
  Label5_->setText(QStringLiteral("下载中 %1 ...").arg(sName));
  Label5_->adjustSize();
  clock_.start();
  std::unique_ptr<http::AsyncRequest> request = DownloadClient_.GetAsync(sUrlEX, {}, *this, maxBody_);
  int result = pendingResult_;
  if (result == 0) {
    looping_ = true;
    result = ShowModal(*this);
    looping_ = false;
  }
  // Cut off before returning: no later report reaches this dialog or the buffer.
  request.reset();
  FMemoryStream_ = nullptr;
  status_ = nullptr;
  return result == kCompleted;
}

void TDownloadForm::Finish(int result) {
  if (looping_) done(result);
  else pendingResult_ = result;
}

void TDownloadForm::OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool&) {
  if (contentLength > 0) {
    const auto percent = Percent(static_cast<double>(readCount), static_cast<double>(contentLength), 100);
    ProgressBar1_->setValue(static_cast<int>(percent));
    Label4_->setText(QStringLiteral("已下载%1%").arg(percent));
  } else {
    // No size announced: a busy bar and the amount so far, never a negative percentage.
    ProgressBar1_->setRange(0, 0);
    Label4_->setText(QStringLiteral("已下载") + Amount(readCount));
  }
  Label4_->adjustSize();
  ShowSpeed(readCount);
  emit progressShown();
}

void TDownloadForm::ShowSpeed(std::int64_t readCount) {
  const qint64 now = clock_.elapsed();
  if (now - lastTime_ < 250 && readCount > 0) return;
  if (now > lastTime_) {
    const double current = static_cast<double>(readCount - lastCount_) * 1000.0 / static_cast<double>(now - lastTime_);
    bytesPerSecond_ = bytesPerSecond_ == 0 ? current : 0.7 * bytesPerSecond_ + 0.3 * current;
  }
  lastTime_ = now;
  lastCount_ = readCount;
  if (bytesPerSecond_ > 0) speed_->setText(Amount(static_cast<std::int64_t>(bytesPerSecond_)) + QStringLiteral("/s"));
}

void TDownloadForm::OnRequestCompleted(http::Response response) {
  // Moved, not copied: a large launcher is held in memory once.
  if (FMemoryStream_) *FMemoryStream_ = std::move(response.body);
  if (status_) *status_ = response.status;
  Finish(kCompleted);
}

void TDownloadForm::OnRequestError(const std::string&) { Finish(kCancelled); }

void TDownloadForm::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // A borderless window still wants an edge against whatever lies behind it.
  QPainter painter(this);
  painter.setPen(QColor(0x6B, 0x55, 0x2E));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDownloadForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;  // Escape does nothing
  QDialog::keyPressEvent(event);
}

void TDownloadForm::closeEvent(QCloseEvent* event) {
  // Any other request to close is a cancel.
  event->ignore();
  Finish(kCancelled);
}

}  // namespace tandrel::ui

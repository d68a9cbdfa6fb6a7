// The download dialog: fetches one file into the caller's buffer in a small
// modal window with progress, speed and a close image that cancels.
#pragma once

#include "Artwork.h"
#include "Pictures.h"
#include "QtEventLoop.h"

#include "core/http/CurlClient.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>

#include <memory>

namespace tandrel::ui {

class TDownloadForm final : public QDialog, private http::AsyncHandler {
  Q_OBJECT

 public:
  static constexpr int kCompleted = 1, kCancelled = 2;

  // Created hidden, "下载中...", bar at 0, "已下载0%".
  TDownloadForm(QWidget* owner, const Artwork& art);
  ~TDownloadForm() override;

  // Fetches sUrlEX into memoryStream (the caller's, empty). True exactly when a
  // response arrived, whatever its status; the buffer then holds the whole body.
  // On false the buffer was not written, and no later report reaches it. The
  // response's status goes to statusCode when one is given.
  bool Download(const QString& sName, const std::string& sUrlEX, http::Bytes& memoryStream, long* statusCode = nullptr);

  QString Title() const { return Label5_->text(); }
  QString ProgressText() const { return Label4_->text(); }
  QString SpeedText() const { return speed_->text(); }
  const QProgressBar& ProgressBar() const { return *ProgressBar1_; }
  // The largest body taken; a larger answer ends the download as a failed one.
  void SetMaxBody(std::uint64_t maxBody) { maxBody_ = maxBody; }
  // For tests: the timeouts of the dialog's own client.
  void SetTimeouts(http::Timeouts timeouts) { DownloadClient_.SetTimeouts(timeouts); }

 signals:
  // After each progress report has been shown.
  void progressShown();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool& abort) override;
  void OnRequestCompleted(http::Response response) override;
  void OnRequestError(const std::string& message) override;
  void Finish(int result);
  void ShowSpeed(std::int64_t readCount);

  PressPicture* Image7_;
  QLabel* Label5_;
  QLabel* Label4_;
  QProgressBar* ProgressBar1_;
  QLabel* speed_;
  QtDispatcher dispatcher_;
  http::CurlClient DownloadClient_;
  std::uint64_t maxBody_ = http::kAnyBodySize;
  http::Bytes* FMemoryStream_ = nullptr;
  long* status_ = nullptr;
  int pendingResult_ = 0;  // a result set before the modal loop runs still ends it
  bool looping_ = false;
  QElapsedTimer clock_;
  std::int64_t lastCount_ = 0;
  qint64 lastTime_ = 0;
  double bytesPerSecond_ = 0;
};

}  // namespace tandrel::ui

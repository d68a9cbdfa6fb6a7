#include "uDownloadForm.h"

#include "core/Hutil32.h"

#include <cmath>
#include <cstdio>

namespace tandrel::forms {
namespace {

// Whole KB below a megabyte, then MB with one decimal.
std::string Amount(std::int64_t bytes) {
  if (bytes < 1024 * 1024) return std::to_string(bytes / 1024) + " KB";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

// "剩余 45秒", "剩余 1分05秒", "剩余 2小时05分": whole seconds, rounded up.
std::string TimeLeft(std::int64_t remainingBytes, double bytesPerSecond) {
  const auto seconds = static_cast<std::int64_t>(std::ceil(static_cast<double>(remainingBytes) / bytesPerSecond));
  const auto two = [](std::int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  if (seconds < 60) return "剩余 " + std::to_string(seconds) + "秒";
  if (seconds < 3600) return "剩余 " + std::to_string(seconds / 60) + "分" + two(seconds % 60) + "秒";
  return "剩余 " + std::to_string(seconds / 3600) + "小时" + two(seconds / 60 % 60) + "分";
}

}  // namespace

TDownloadForm::TDownloadForm(DownloadFormScreen& screen, http::Dispatcher& dispatcher, EventLoop& loop)
    : screen_(screen), loop_(loop), DownloadClient_(&dispatcher), startTick_(loop.TickCount()) {}

TDownloadForm::~TDownloadForm() = default;

DownloadResult TDownloadForm::Download(const std::string& sName, const std::string& sUrlEX, http::Bytes& MemoryStream,
                                       long* statusCode) {
  FMemoryStream_ = &MemoryStream;
  status_ = statusCode;
  view_.Label5Caption = "下载中 " + sName + " ...";
  screen_.Paint(view_);
  startTick_ = loop_.TickCount();
  std::unique_ptr<http::AsyncRequest> request = DownloadClient_.GetAsync(sUrlEX, {}, *this, maxBody_);
  int result = ModalResult_;
  if (result == 0) {
    looping_ = true;
    result = screen_.ShowModal();
    looping_ = false;
  }
  // Cut off before returning: no later report reaches this dialog or the buffer.
  request.reset();
  FMemoryStream_ = nullptr;
  status_ = nullptr;
  switch (result) {
    case kCompleted: return DownloadResult::Completed;
    case kFailed: return DownloadResult::Failed;
    default: return DownloadResult::Cancelled;  // closed, or ended unshown while the program ends
  }
}

void TDownloadForm::SetModalResult(int result) {
  if (looping_) screen_.EndModal(result);
  else ModalResult_ = result;
}

void TDownloadForm::DownloadClientReceiveData(std::int64_t AContentLength, std::int64_t AReadCount, bool&) {
  if (AContentLength > 0) {
    const auto percent = Percent(static_cast<double>(AReadCount), static_cast<double>(AContentLength), 100);
    view_.ProgressBar1Position = static_cast<int>(percent);
    view_.Label4Caption = "已下载" + std::to_string(percent) + "%";
  } else {
    // No size announced: a busy bar and the amount so far, never a negative percentage.
    view_.ProgressBar1Busy = true;
    view_.Label4Caption = "已下载" + Amount(AReadCount);
  }
  ShowSpeed(AContentLength, AReadCount);
  screen_.Paint(view_);
}

std::int64_t TDownloadForm::Elapsed() const { return static_cast<std::uint32_t>(loop_.TickCount() - startTick_); }

// Measured over at least a quarter of a second, smoothed over the last few; the
// time left beside it once the size is announced.
void TDownloadForm::ShowSpeed(std::int64_t contentLength, std::int64_t readCount) {
  const std::int64_t now = Elapsed();
  if (now - lastTime_ < 250 && readCount > 0) return;
  if (now > lastTime_) {
    const double current = static_cast<double>(readCount - lastCount_) * 1000.0 / static_cast<double>(now - lastTime_);
    bytesPerSecond_ = bytesPerSecond_ == 0 ? current : 0.7 * bytesPerSecond_ + 0.3 * current;
  }
  lastTime_ = now;
  lastCount_ = readCount;
  if (bytesPerSecond_ <= 0) return;
  view_.SpeedCaption = Amount(static_cast<std::int64_t>(bytesPerSecond_)) + "/s";
  if (contentLength > readCount) view_.SpeedCaption += "  " + TimeLeft(contentLength - readCount, bytesPerSecond_);
}

void TDownloadForm::DownloadClientRequestCompleted(http::Response AResponse) {
  // Moved, not copied: a large launcher is held in memory once.
  if (FMemoryStream_) *FMemoryStream_ = std::move(AResponse.body);
  if (status_) *status_ = AResponse.status;
  if (FMemoryStream_) sha256_ = AResponse.sha256;
  SetModalResult(kCompleted);
}

void TDownloadForm::DownloadClientRequestError(const std::string&) { SetModalResult(kFailed); }

void TDownloadForm::Image7Click() { SetModalResult(kCancelled); }

void TDownloadForm::CloseRequest() { SetModalResult(kCancelled); }

void TDownloadForm::OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool& abort) {
  DownloadClientReceiveData(contentLength, readCount, abort);
}

void TDownloadForm::OnRequestCompleted(http::Response response) { DownloadClientRequestCompleted(std::move(response)); }

void TDownloadForm::OnRequestError(const std::string& message) { DownloadClientRequestError(message); }

}  // namespace tandrel::forms

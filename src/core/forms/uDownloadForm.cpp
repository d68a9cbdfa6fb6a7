#include "uDownloadForm.h"

#include "core/Hutil32.h"

#include <algorithm>
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

TDownloadForm::TDownloadForm(DownloadFormScreen& screen, http::Dispatcher& dispatcher, TimerFactory& timers,
                             EventLoop& loop)
    : screen_(screen),
      loop_(loop),
      DownloadClient_(&dispatcher),
      RetryTimer_(timers.MakeTimer([this] { RetryTimerTimer(); })),
      startTick_(loop.TickCount()) {}

TDownloadForm::~TDownloadForm() = default;

void TDownloadForm::SetRetryWaits(download::RetryPlan::Waits waits, std::function<double()> jitter) {
  waits_ = waits;
  jitter_ = std::move(jitter);
}

DownloadResult TDownloadForm::Download(const download::DownloadRequest& request, download::DownloadedFile& file) {
  request_ = &request;
  file_ = &file;
  plan_.emplace(request.sources.size(), waits_, jitter_);
  view_.Label5Caption = "下载中 " + request.name + " ...";
  screen_.Paint(view_);
  startTick_ = loop_.TickCount();
  if (request.sources.empty()) SetModalResult(kFailed);
  else StartAttempt();
  int result = ModalResult_;
  if (result == 0) {
    looping_ = true;
    result = screen_.ShowModal();
    looping_ = false;
  }
  // Cut off before returning: no later report reaches this dialog or the file.
  RetryTimer_->SetEnabled(false);
  transfer_.reset();
  sink_.reset();
  request_ = nullptr;
  file_ = nullptr;
  switch (result) {
    case kCompleted: return DownloadResult::Completed;
    case kFailed: return DownloadResult::Failed;
    case kNoRoom: return DownloadResult::NoRoom;
    default: return DownloadResult::Cancelled;  // closed, or ended unshown while the program ends
  }
}

void TDownloadForm::StartAttempt() {
  const std::string& url = request_->sources[plan_->Source()];
  sink_ = std::make_shared<download::PartSink>(*request_, url);
  transfer_ = DownloadClient_.GetAsync(url, sink_->ResumeHeaders(), *this, http::kAnyBodySize, sink_);
}

// Another source at once, or a retry after its wait, or the end.
void TDownloadForm::AttemptFailed() {
  sink_->Close();  // the next attempt may open it at once
  const auto step = plan_->AfterFailure(sink_->Gained() > 0);
  if (!step) return SetModalResult(kFailed);
  if (step->retry > 0) {
    view_.SpeedCaption = download::RetryCaption(step->retry);
    screen_.Paint(view_);
  }
  lastCount_ = -1;
  RetryTimer_->SetInterval(std::max(step->wait, std::chrono::milliseconds(1)));
  RetryTimer_->SetEnabled(true);
}

void TDownloadForm::RetryTimerTimer() {
  RetryTimer_->SetEnabled(false);
  if (request_) StartAttempt();
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
  if (lastCount_ < 0) {
    // A new attempt has begun: the retry is no longer waited for, and what it
    // continues is no part of its speed.
    view_.SpeedCaption.clear();
    lastCount_ = readCount;
    lastTime_ = now;
    return;
  }
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

void TDownloadForm::DownloadClientRequestCompleted(const http::Response& AResponse) {
  if (!sink_) return;
  if (AResponse.status >= 200 && AResponse.status < 300) {
    try {
      *file_ = sink_->Finish();
    } catch (const std::runtime_error&) {
      return AttemptFailed();  // the part file could not be had
    }
    return SetModalResult(kCompleted);
  }
  // The kept bytes lie beyond the file's end: it changed, they go.
  if (AResponse.status == 416 && sink_->Resuming()) {
    sink_->Close();
    download::DiscardPart(request_->target);
  }
  AttemptFailed();
}

void TDownloadForm::DownloadClientRequestError(const std::string&) {
  if (!sink_) return;
  if (sink_->LastFault() == download::PartSink::Fault::NoRoom) return SetModalResult(kNoRoom);
  AttemptFailed();
}

void TDownloadForm::Image7Click() { SetModalResult(kCancelled); }

void TDownloadForm::CloseRequest() { SetModalResult(kCancelled); }

void TDownloadForm::OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool& abort) {
  DownloadClientReceiveData(contentLength, readCount, abort);
}

void TDownloadForm::OnRequestCompleted(http::Response response) { DownloadClientRequestCompleted(response); }

void TDownloadForm::OnRequestError(const std::string& message) { DownloadClientRequestError(message); }

}  // namespace tandrel::forms

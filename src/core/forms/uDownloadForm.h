// The download dialog's logic: fetches one file into its part file while the
// dialog shows what is fetched, how far it has come, how fast and how long it
// has left; a transfer that fails is resumed on its own (a mirror, then three
// retries) before the dialog gives up. The close image and any other request to
// close cancel at once. A window layer forwards the close image's click and close
// requests here and shows what Paint gives it; the dialog takes no keys, so
// Escape does nothing.
#pragma once

#include "DownloadFormScreen.h"
#include "FormTimer.h"

#include "core/DownloadResult.h"
#include "core/EventLoop.h"
#include "core/download/DownloadRequest.h"
#include "core/download/PartSink.h"
#include "core/download/RetryPlan.h"
#include "core/http/SystemClient.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tandrel::forms {

class TDownloadForm final : private http::AsyncHandler {
 public:
  // The modal results.
  static constexpr int kCompleted = 1, kCancelled = 2, kFailed = 3, kNoRoom = 4;

  // The dispatcher runs the client's reports on the user-interface thread and must
  // outlive the dialog; the timers wait between attempts; the loop's tick times
  // the speed figure.
  TDownloadForm(DownloadFormScreen& screen, http::Dispatcher& dispatcher, TimerFactory& timers,
                EventLoop& loop = CurrentEventLoop());
  ~TDownloadForm() override;
  TDownloadForm(const TDownloadForm&) = delete;
  TDownloadForm& operator=(const TDownloadForm&) = delete;

  // Fetches the request's file into its part file. Completed exactly when it is
  // whole there; file then gives its size and digests. Whatever the result, no
  // later report reaches the dialog once it returns.
  DownloadResult Download(const download::DownloadRequest& request, download::DownloadedFile& file);

  // The client's reports.
  void DownloadClientReceiveData(std::int64_t AContentLength, std::int64_t AReadCount, bool& AAbort);
  void DownloadClientRequestCompleted(const http::Response& AResponse);
  void DownloadClientRequestError(const std::string& AError);
  // The close image, and any other request to close the dialog: a cancel.
  void Image7Click();
  void CloseRequest();

  const DownloadView& View() const { return view_; }
  // The waits before the retries, and their jitter (tests shorten them).
  void SetRetryWaits(download::RetryPlan::Waits waits, std::function<double()> jitter = {});

 private:
  void OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool& abort) override;
  void OnRequestCompleted(http::Response response) override;
  void OnRequestError(const std::string& message) override;
  void StartAttempt();
  void AttemptFailed();
  void RetryTimerTimer();
  // A result set before the modal loop runs still ends it.
  void SetModalResult(int result);
  void ShowSpeed(std::int64_t contentLength, std::int64_t readCount);
  std::int64_t Elapsed() const;

  DownloadFormScreen& screen_;
  EventLoop& loop_;
  http::SystemClient DownloadClient_;
  std::unique_ptr<FormTimer> RetryTimer_;
  download::RetryPlan::Waits waits_ = download::RetryPlan::kWaits;
  std::function<double()> jitter_;
  // The download under way: only while Download runs.
  const download::DownloadRequest* request_ = nullptr;
  download::DownloadedFile* file_ = nullptr;
  std::optional<download::RetryPlan> plan_;
  std::shared_ptr<download::PartSink> sink_;  // the attempt's
  std::unique_ptr<http::AsyncRequest> transfer_;
  DownloadView view_;
  int ModalResult_ = 0;
  bool looping_ = false;
  std::uint32_t startTick_ = 0;
  std::int64_t lastCount_ = 0;  // -1: the next report starts the count afresh (a new attempt)
  std::int64_t lastTime_ = 0;
  double bytesPerSecond_ = 0;
};

}  // namespace tandrel::forms

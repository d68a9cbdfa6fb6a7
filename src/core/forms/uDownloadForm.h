// The download dialog's logic: fetches one file into the caller's buffer while
// the dialog shows what is fetched, how far it has come and how fast; the close
// image and any other request to close cancel. A window layer forwards the close
// image's click and close requests here and shows what Paint gives it; the
// dialog takes no keys, so Escape does nothing.
#pragma once

#include "DownloadFormScreen.h"

#include "core/DownloadResult.h"
#include "core/EventLoop.h"
#include "core/http/SystemClient.h"

#include <cstdint>
#include <string>

namespace tandrel::forms {

class TDownloadForm final : private http::AsyncHandler {
 public:
  // The modal results.
  static constexpr int kCompleted = 1, kCancelled = 2, kFailed = 3;

  // The dispatcher runs the client's reports on the user-interface thread and must
  // outlive the dialog; the loop's tick times the speed figure.
  TDownloadForm(DownloadFormScreen& screen, http::Dispatcher& dispatcher, EventLoop& loop = CurrentEventLoop());
  ~TDownloadForm() override;
  TDownloadForm(const TDownloadForm&) = delete;
  TDownloadForm& operator=(const TDownloadForm&) = delete;

  // Fetches sUrlEX into MemoryStream (the caller's, empty). Completed exactly when
  // a response arrived, whatever its status; the buffer then holds the whole body.
  // Otherwise the buffer was not written, and no later report reaches it. The
  // response's status goes to statusCode when one is given.
  DownloadResult Download(const std::string& sName, const std::string& sUrlEX, http::Bytes& MemoryStream,
                          long* statusCode = nullptr);

  // The client's reports.
  void DownloadClientReceiveData(std::int64_t AContentLength, std::int64_t AReadCount, bool& AAbort);
  void DownloadClientRequestCompleted(http::Response AResponse);
  void DownloadClientRequestError(const std::string& AError);
  // The close image, and any other request to close the dialog: a cancel.
  void Image7Click();
  void CloseRequest();

  const DownloadView& View() const { return view_; }
  // The largest body taken; a larger answer ends the download as a failed one.
  void SetMaxBody(std::uint64_t maxBody) { maxBody_ = maxBody; }
  // The body's SHA-256 taken while it arrives, for the caller after Download.
  void SetDigestBody(bool digest) { DownloadClient_.SetDigestBodies(digest); }
  const std::optional<std::array<std::uint8_t, 32>>& BodySha256() const { return sha256_; }

 private:
  void OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool& abort) override;
  void OnRequestCompleted(http::Response response) override;
  void OnRequestError(const std::string& message) override;
  // A result set before the modal loop runs still ends it.
  void SetModalResult(int result);
  void ShowSpeed(std::int64_t contentLength, std::int64_t readCount);
  std::int64_t Elapsed() const;

  DownloadFormScreen& screen_;
  EventLoop& loop_;
  http::SystemClient DownloadClient_;
  std::uint64_t maxBody_ = http::kAnyBodySize;
  http::Bytes* FMemoryStream_ = nullptr;
  long* status_ = nullptr;
  std::optional<std::array<std::uint8_t, 32>> sha256_;
  DownloadView view_;
  int ModalResult_ = 0;
  bool looping_ = false;
  std::uint32_t startTick_ = 0;
  std::int64_t lastCount_ = 0;
  std::int64_t lastTime_ = 0;
  double bytesPerSecond_ = 0;
};

}  // namespace tandrel::forms

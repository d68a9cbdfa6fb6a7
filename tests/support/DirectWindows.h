// The windows as the launching and updating flows see them, without a display:
// each download runs in the real dialog logic, on a window whose modal loop runs
// the client's reports and the retry timer, with retries a few milliseconds
// apart; every download, every view it showed and every message box is recorded.
#pragma once

#include "HeadlessDownloads.h"

#include "core/BoxWindows.h"
#include "core/forms/uDownloadForm.h"

#include <string>
#include <vector>

namespace tandrel::test {

struct DirectWindows final : BoxWindows {
  bool cancel = false;                     // the player closes every download dialog
  std::vector<std::string> downloads;      // the dialogs' names, in order
  std::vector<forms::DownloadView> shown;  // what the dialogs showed, in order
  std::vector<std::string> errors;         // "caption:text"
  download::RetryPlan::Waits waits{std::chrono::milliseconds(20), std::chrono::milliseconds(20),
                                   std::chrono::milliseconds(20)};
  // Runs for each view a dialog shows: the player's hand (closing it), say.
  std::function<void(forms::TDownloadForm&, const forms::DownloadView&)> onShown;

  DownloadResult Download(const download::DownloadRequest& request, download::DownloadedFile& file) override {
    downloads.push_back(request.name);
    if (cancel) return DownloadResult::Cancelled;
    QueueDispatcher dispatcher;
    DispatcherTimers timers(dispatcher);
    ModalDownloadScreen screen(dispatcher);
    forms::TDownloadForm form(screen, dispatcher, timers);
    form.SetRetryWaits(waits, [] { return 1.0; });
    if (onShown) screen.onPaint = [&](const forms::DownloadView& view) { onShown(form, view); };
    const DownloadResult result = form.Download(request, file);
    shown.insert(shown.end(), screen.painted.begin(), screen.painted.end());
    return result;
  }
  void ShowError(const std::string& caption, const std::string& text) override {
    errors.push_back(caption + ":" + text);
  }
};

}  // namespace tandrel::test

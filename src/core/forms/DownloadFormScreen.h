// What the download dialog's logic asks of its window: to show its texts and bar,
// and to run and end its modal loop.
#pragma once

#include <string>

namespace tandrel::forms {

// What the dialog shows.
struct DownloadView {
  std::string Label5Caption = "下载中...";  // the title: what is being fetched
  std::string Label4Caption = "已下载0%";   // the progress in words
  int ProgressBar1Position = 0;             // 0 to 100
  // No size announced: the bar shows that it is busy instead of a position.
  bool ProgressBar1Busy = false;
  std::string SpeedCaption;  // empty until a speed is known; with the time left once the size is known too

  bool operator==(const DownloadView&) const = default;
};

class DownloadFormScreen {
 public:
  virtual ~DownloadFormScreen() = default;
  // The view changed: show it now.
  virtual void Paint(const DownloadView& view) = 0;
  // Shows the dialog modally over its owner until EndModal; returns the result
  // EndModal was given, or 0 at once while termination is pending.
  virtual int ShowModal() = 0;
  virtual void EndModal(int result) = 0;
};

}  // namespace tandrel::forms

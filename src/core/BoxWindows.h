// What the toolkit-free flows (launching, self-update) need of the windows.
#pragma once

#include "DownloadResult.h"
#include "download/DownloadRequest.h"

#include <string>

namespace tandrel {

class BoxWindows {
 public:
  virtual ~BoxWindows() = default;
  // The modal download dialog. Completed exactly when the whole file is in the
  // request's part file, which file then describes; the caller commits or
  // discards it. Otherwise the part file keeps what arrived, for the next time.
  virtual DownloadResult Download(const download::DownloadRequest& request, download::DownloadedFile& file) = 0;
  // A message box with the error icon and one OK button.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
};

}  // namespace tandrel

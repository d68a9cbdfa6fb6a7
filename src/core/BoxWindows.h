// What the toolkit-free flows (launching, self-update) need of the windows.
#pragma once

#include "DownloadResult.h"
#include "http/HttpClient.h"

#include <string>

namespace tandrel {

class BoxWindows {
 public:
  virtual ~BoxWindows() = default;
  // The modal download dialog. Completed exactly when a response arrived, whatever
  // its status; the response then holds its status and body. Otherwise it is
  // untouched. An answer larger than maxBody is a failed download. With digest,
  // the response carries the body's SHA-256, taken while it arrived.
  virtual DownloadResult Download(const std::string& name, const std::string& url, std::uint64_t maxBody, bool digest,
                                  http::Response& response) = 0;
  // A message box with the error icon and one OK button.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
};

}  // namespace tandrel

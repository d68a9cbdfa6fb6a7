// The windows as the launching and updating flows see them, without a display:
// a download runs at once on a plain client, as the dialog would run it (a
// failed transfer is told apart from a closed dialog), and
// every download and message box is recorded.
#pragma once

#include "core/BoxWindows.h"
#include "core/http/SystemClient.h"

#include <string>
#include <vector>

namespace tandrel::test {

struct DirectWindows final : BoxWindows {
  http::SystemClient client;
  bool cancel = false;                 // the player closes every download dialog
  std::vector<std::string> downloads;  // the dialogs' names, in order
  std::vector<std::string> errors;     // "caption:text"

  DownloadResult Download(const std::string& name, const std::string& url, std::uint64_t maxBody, bool digest,
                          http::Response& response) override {
    downloads.push_back(name);
    if (cancel) return DownloadResult::Cancelled;
    client.SetDigestBodies(digest);
    try {
      response = client.Get(url, {}, maxBody);
    } catch (const http::Error&) {
      return DownloadResult::Failed;
    }
    return DownloadResult::Completed;
  }
  void ShowError(const std::string& caption, const std::string& text) override {
    errors.push_back(caption + ":" + text);
  }
};

}  // namespace tandrel::test

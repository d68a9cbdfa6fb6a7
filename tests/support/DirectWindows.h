// The windows as the launching and updating flows see them, without a display:
// a download runs at once on a plain client, as the dialog would run it, and
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

  bool Download(const std::string& name, const std::string& url, std::uint64_t maxBody,
                http::Response& response) override {
    downloads.push_back(name);
    if (cancel) return false;
    response = client.Get(url, {}, maxBody);
    return true;
  }
  void ShowError(const std::string& caption, const std::string& text) override {
    errors.push_back(caption + ":" + text);
  }
};

}  // namespace tandrel::test

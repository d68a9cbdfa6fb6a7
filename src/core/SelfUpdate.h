// Keeping the box current: the service is asked whether the running executable
// (by its digest) is current; any answer but "ok" fetches the new one, which
// replaces the running one (kept as ".bak") and is started.
#pragma once

#include "BoxWindows.h"
#include "ServiceEndpoints.h"
#include "http/HttpClient.h"
#include "platform/Shell.h"

#include <functional>
#include <string>

namespace tandrel {

inline constexpr std::size_t kSmallestBox = 1000;

class SelfUpdate {
 public:
  SelfUpdate(http::Client& client, BoxWindows& windows, platform::Shell& shell, std::string exePath,
             std::function<ServiceSite()> site, std::function<void()> requestTermination);

  // False when the box may go on (the answer was "ok", no answer came, or the new
  // box could not be put in place, which is shown); true when the program must
  // end: the new box was started, or the download failed, was cancelled or refused.
  bool CheckSelfUpdate();

  // For tests: runs right after the running executable was renamed to ".bak".
  void SetAfterBackupForTests(std::function<void()> hook) { afterBackup_ = std::move(hook); }

 private:
  // Whether the program must end.
  bool Update(const ServiceSite& site);
  void Replace(const http::Bytes& newBox);

  http::Client& client_;
  BoxWindows& windows_;
  platform::Shell& shell_;
  std::string exePath_;
  std::function<ServiceSite()> site_;
  std::function<void()> requestTermination_;
  std::function<void()> afterBackup_;
};

}  // namespace tandrel

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

  // False when the box may go on (the answer was "ok", or no answer came); true
  // when an update was attempted, whatever its outcome: the program must end.
  bool CheckSelfUpdate();

  // For tests: runs right after the running executable was renamed to ".bak".
  void SetAfterBackupForTests(std::function<void()> hook) { afterBackup_ = std::move(hook); }

 private:
  void Update(const ServiceSite& site);
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

// Keeping the box current: the service is asked whether the running executable
// (by its digest) is current; any answer but "ok" fetches the new one, which
// replaces the running one (kept as ".bak") and is started.
#pragma once

#include "BoxWindows.h"
#include "ServiceEndpoints.h"
#include "http/HttpClient.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "trust/ReleaseRecord.h"

#include <optional>

#include <functional>
#include <string>

namespace tandrel {

inline constexpr std::size_t kSmallestBox = 1000;
inline constexpr const char* kUpdateFailed = "更新主程序失败,请重新试,或者联系管理员";

class SelfUpdate {
 public:
  SelfUpdate(http::Client& client, BoxWindows& windows, platform::Shell& shell, std::string exePath,
             std::function<ServiceSite()> site, std::function<void()> requestTermination,
             platform::ExecutableSwap& swap = platform::SystemExecutableSwap());

  // False when the box may go on: the answer was "ok", no answer came, the
  // service gave back the running box itself, or no new box could be had or put
  // in place (said once). True when the program must end: the new box was
  // started, or the player closed the download dialog.
  bool CheckSelfUpdate();

 private:
  // Whether the program must end.
  bool Update(const ServiceSite& site, const std::string& runningDigest);
  // A box stamped with trust keys: the signed release that names the new box, or
  // nothing when none verifies or it names the running box.
  struct Release {
    trust::ReleaseRecord record;
    platform::P256PublicKey key;  // that signed it
  };
  std::optional<Release> SignedRelease(const ServiceSite& site);
  // Whether a downloaded box is the one the release names, stamped with its key
  // and a floor between the running box's and the release's serial.
  bool Signed(const http::Bytes& box, const Release& release, const site::Trust& running) const;
  bool Failed(const char* text = kUpdateFailed);
  void Replace(const http::Bytes& newBox);

  http::Client& client_;
  BoxWindows& windows_;
  platform::Shell& shell_;
  std::string exePath_;
  std::function<ServiceSite()> site_;
  std::function<void()> requestTermination_;
  platform::ExecutableSwap& swap_;
};

}  // namespace tandrel

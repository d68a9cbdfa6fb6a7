// What a server row's buttons do: the enter-game button makes sure the row's
// launcher is in the cache and matches the list's digest (downloading it when it
// does not), copies it out under an executable name and starts it; the web-site
// button opens the row's web page.
#pragma once

#include "BoxWindows.h"
#include "platform/Shell.h"
#include "trust/ReleaseRecord.h"
#include "uConfig.h"

#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The digest rule: equal length, only ASCII letters folded; an empty Md5 never matches.
bool DigestMatches(const std::string& actual, const std::string& expected);

// A launcher name becomes a file name: nothing that could leave the cache folder,
// and nothing Windows reads as other than a plain file (an alternate data stream
// after ":", a device such as CON or COM1, with or without an extension),
// whatever system the box or the service runs on.
bool IsSafeLauncherName(const std::string& name);

// The address the web-site button may open: an http or https one, or a bare
// "www." one with "http://" in front; nothing else.
std::optional<std::string> WebSiteAddress(const std::string& url);

class GameRun {
 public:
  // exeDir ends in "/"; launchSuffix names the launch copies. With a release (the
  // signed record that verified the list on screen), a launcher must match its
  // entry there too before it is kept, copied or started. The mirrors' base URLs
  // (each ending in "/") serve a launcher when the service does not.
  GameRun(BoxWindows& windows, platform::Shell& shell, std::string exeDir, std::string launchSuffix,
          const trust::ReleaseRecord* release = nullptr, std::vector<std::string> mirrors = {});

  // The enter-game button of the row with this entry, for a service at serverUrl.
  void EnterGame(const TBoxConfig& entry, const std::string& serverUrl);
  // The web-site button.
  void OpenWebSite(const TBoxConfig& entry);

  void RunLauncher(const std::string& url, const std::string& name, const std::string& md5);
  void DownloadLauncher(const std::string& url, const std::string& name, const std::string& md5);

  std::string CacheFile(const std::string& name) const;
  // Whether the launcher's bytes are the ones the release names (always, unsigned).
  bool Signed(const std::string& name, const trust::FileEntry& actual) const;
  std::string LaunchCopy(const std::string& name) const;

 private:
  BoxWindows& windows_;
  platform::Shell& shell_;
  std::string exeDir_;
  std::string launchSuffix_;
  std::optional<trust::ReleaseRecord> release_;  // a copy: a reload may replace the list meanwhile
  std::vector<std::string> mirrors_;
};

}  // namespace tandrel

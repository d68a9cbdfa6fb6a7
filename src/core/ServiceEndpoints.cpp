#include "ServiceEndpoints.h"

#include "Share.h"

namespace tandrel {

ServiceSite CurrentServiceSite() {
  const site::Settings settings = CurrentSiteSettings();
  std::vector<std::string> mirrors;
  for (const std::string& mirror : settings.mirrors) mirrors.push_back(mirror.ends_with('/') ? mirror : mirror + "/");
  return {ServerUrl(), AuthHeaderValue(), ConfigKey(), ConfigIV(), settings.trust, std::move(mirrors)};
}

// The base URL ends in "/" and is followed directly by the relative path.
std::string ServerListUrl(const ServiceSite& site) { return site.serverUrl; }
std::string BannerUrl(const ServiceSite& site) { return site.serverUrl + "getvalue/logo.png"; }
std::string UpdateCheckUrl(const ServiceSite& site, const std::string& exeMd5) {
  return site.serverUrl + "getcode/?hash=" + exeMd5;
}
std::string NewProgramUrl(const ServiceSite& site) { return site.serverUrl + "getvalue/box.exe"; }
std::string ReleaseRecordUrl(const ServiceSite& site) { return site.serverUrl + "getvalue/release.txt"; }
std::string LauncherUrl(const ServiceSite& site, const std::string& launcherName) {
  return site.serverUrl + "getvalue/" + launcherName + ".exe";
}

http::Headers AuthorizationHeaders(const ServiceSite& site) { return {{"Authorization", site.authHeaderValue}}; }

}  // namespace tandrel

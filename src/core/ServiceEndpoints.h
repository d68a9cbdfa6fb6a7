// The operator's web service as the box addresses it: GET endpoints below the
// base URL, two of them behind the fixed "Authorization" value.
#pragma once

#include "SiteBlock.h"
#include "http/HttpClient.h"

#include <string>
#include <vector>

namespace tandrel {

struct ServiceSite {
  std::string serverUrl;  // trimmed, ends in "/"
  std::string authHeaderValue;
  site::Secret configKey{};
  site::Secret configIv{};
  site::Trust trust;                 // none: the box takes the service's files unsigned
  std::vector<std::string> mirrors;  // base URLs, each ending in "/"
};

// Read afresh from the running program's site settings.
ServiceSite CurrentServiceSite();

std::string ServerListUrl(const ServiceSite& site);
std::string BannerUrl(const ServiceSite& site);
std::string UpdateCheckUrl(const ServiceSite& site, const std::string& exeMd5);
std::string NewProgramUrl(const ServiceSite& site);
std::string ReleaseRecordUrl(const ServiceSite& site);
std::string LauncherUrl(const ServiceSite& site, const std::string& launcherName);

http::Headers AuthorizationHeaders(const ServiceSite& site);

}  // namespace tandrel

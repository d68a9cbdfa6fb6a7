// The reference web service: one site folder on the five endpoints the box asks,
// below a base path. The list is encrypted on the fly with the site's key and
// re-read whenever servers.json changes; an invalid new one is refused and the
// last good list stays.
#pragma once

#include "../SiteFolder.h"
#include "ServiceLimits.h"

#include <functional>
#include <memory>
#include <string>

namespace tandrel::admin {

class SiteService {
 public:
  using Log = std::function<void(const std::string& line)>;

  // basePath starts and ends with "/". Throws when the site's list is not one the
  // box would read. Every log line has its control characters escaped.
  SiteService(SiteFolder site, std::string basePath, Log log, const ServiceLimits& limits = {});
  ~SiteService();
  SiteService(const SiteService&) = delete;
  SiteService& operator=(const SiteService&) = delete;

  // Returns the port bound (a free one for 0). Throws when it cannot bind.
  int Bind(const std::string& address, int port);
  // Serves until Stop(): one thread watches the connections until a request head
  // has arrived whole, a pool of threads answers the requests (see HttpFront).
  void Run();
  // From any thread, also before Run has started (Run then returns at once).
  void Stop();

  // "http://ADDRESS:PORT/BASE/" for the address and port bound.
  std::string BaseUrl() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tandrel::admin

// The reference service for one site folder, run inside the test on a free
// loopback port, stopped at the latest after its time limit.
#pragma once

#include "Watchdog.h"

#include "service/SiteService.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tandrel::test {

class RunningService {
 public:
  explicit RunningService(const std::filesystem::path& site, const std::string& basePath = "/",
                          std::chrono::seconds limit = std::chrono::seconds(120),
                          const admin::ServiceLimits& limits = {});
  ~RunningService();

  std::string BaseUrl() const { return service_.BaseUrl(); }
  // The service's log lines so far.
  std::vector<std::string> Log();

 private:
  std::mutex mutex_;
  std::vector<std::string> log_;
  admin::SiteService service_;
  std::thread runner_;
  std::optional<Watchdog> watchdog_;
};

}  // namespace tandrel::test

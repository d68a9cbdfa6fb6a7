#include "RunningService.h"

namespace tandrel::test {

RunningService::RunningService(const std::filesystem::path& site, const std::string& basePath,
                               std::chrono::seconds limit, const admin::ServiceLimits& limits)
    : service_(
          admin::SiteFolder(site), basePath,
          [this](const std::string& line) {
            std::lock_guard lock(mutex_);
            log_.push_back(line);
          },
          limits) {
  service_.Bind("127.0.0.1", 0);
  runner_ = std::thread([this] { service_.Run(); });
  watchdog_.emplace(limit, [this] { service_.Stop(); });
}

RunningService::~RunningService() {
  watchdog_.reset();
  runner_.join();
}

std::vector<std::string> RunningService::Log() {
  std::lock_guard lock(mutex_);
  return log_;
}

}  // namespace tandrel::test

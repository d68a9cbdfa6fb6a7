#include "RetryPlan.h"

#include <memory>
#include <random>

namespace tandrel::download {
namespace {

std::function<double()> RandomJitter() {
  return [random = std::make_shared<std::mt19937>(std::random_device{}())] {
    return std::uniform_real_distribution<double>(0.8, 1.2)(*random);
  };
}

}  // namespace

RetryPlan::RetryPlan(std::size_t sources, Waits waits, std::function<double()> jitter)
    : sources_(sources), waits_(waits), jitter_(jitter ? std::move(jitter) : RandomJitter()) {}

std::optional<RetryPlan::Step> RetryPlan::AfterFailure(bool gained) {
  // A source that gave nothing (down, refusing, an error status) hands over to
  // the next at once; one that was cut off is resumed after a wait.
  if (!gained && source_ + 1 < sources_) return Step{++source_, std::chrono::milliseconds(0), 0};
  if (retries_ == kRetries) return std::nullopt;
  // A retry goes back to the service unless the source that failed was bringing the file.
  if (!gained) source_ = 0;
  const auto wait = waits_[static_cast<std::size_t>(retries_++)];
  return Step{source_, std::chrono::milliseconds(static_cast<long long>(static_cast<double>(wait.count()) * jitter_())),
              retries_};
}

std::string RetryCaption(int retry) {
  return "网络不稳定,正在重试 (" + std::to_string(retry) + "/" + std::to_string(RetryPlan::kRetries) + ")...";
}

}  // namespace tandrel::download

// What the download dialog does after an attempt failed: the service first, a
// mirror when a source gives nothing, and three retries after about 1, 2 and 4
// seconds, each resuming where the last attempt stopped.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tandrel::download {

class RetryPlan {
 public:
  static constexpr int kRetries = 3;
  using Waits = std::array<std::chrono::milliseconds, kRetries>;
  static constexpr Waits kWaits{std::chrono::milliseconds(1000), std::chrono::milliseconds(2000),
                                std::chrono::milliseconds(4000)};

  // jitter gives a factor for each wait, so that boxes cut off together do not
  // all come back at the same moment; by default between 0.8 and 1.2.
  explicit RetryPlan(std::size_t sources, Waits waits = kWaits, std::function<double()> jitter = {});

  struct Step {
    std::size_t source;              // the next attempt's
    std::chrono::milliseconds wait;  // before it
    int retry;                       // its number among the retries; 0 for a source tried the first time
  };
  // After a failed attempt that brought gained bytes; nothing when the retries are spent.
  std::optional<Step> AfterFailure(bool gained);

  std::size_t Source() const { return source_; }

 private:
  std::size_t sources_;
  Waits waits_;
  std::function<double()> jitter_;
  std::size_t source_ = 0;
  int retries_ = 0;
};

// "网络不稳定,正在重试 (1/3)..."
std::string RetryCaption(int retry);

}  // namespace tandrel::download

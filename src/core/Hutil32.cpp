#include "Hutil32.h"

#include <cmath>
#include <limits>

namespace tandrel {

std::u16string SplitToken(std::u16string_view source, std::u16string& token, std::u16string_view dividers) noexcept {
  try {
    token.clear();
    if (source.empty() || source.size() >= kSplitTokenLimit) return {};
    std::u16string collected;
    std::u16string rest;
    for (std::size_t i = 0; i < source.size(); ++i) {
      const bool divider = dividers.find(source[i]) != std::u16string_view::npos;
      if (!divider) {
        collected += source[i];
      } else if (!collected.empty()) {
        rest.assign(source.substr(i + 1));
        break;
      }
    }
    const std::size_t nul = collected.find(u'\0');
    if (nul != std::u16string::npos) collected.resize(nul);
    token = std::move(collected);
    return rest;
  } catch (...) {
    token.clear();
    return {};
  }
}

void Delay(std::uint32_t milliseconds, EventLoop& loop) {
  const std::uint32_t start = loop.TickCount();
  for (;;) {
    loop.PumpMessages();
    loop.Sleep(15);
    if (static_cast<std::uint32_t>(loop.TickCount() - start) >= milliseconds) return;
    loop.PumpMessages();
  }
}

void Delay(std::uint32_t milliseconds) { Delay(milliseconds, CurrentEventLoop()); }

void PumpMessages() { CurrentEventLoop().PumpMessages(); }

std::int64_t Percent(double part, double whole, double scale) noexcept {
  // The progress arithmetic is defined on the 80-bit extended format: 53 / 100 is
  // held just below 0.53 there, so (53, 100, 100) truncates to 52.
  static_assert(std::numeric_limits<long double>::digits == 64, "needs the x87 extended format");
  constexpr std::int64_t kIndefinite = std::numeric_limits<std::int64_t>::min();
  if (whole == 0) return kIndefinite;
  const long double quotient = static_cast<long double>(part) / static_cast<long double>(whole);
  const long double value = quotient * static_cast<long double>(scale);
  if (!std::isfinite(value) || value >= 0x1p63L || value < -0x1p63L) return kIndefinite;
  return static_cast<std::int64_t>(value);
}

}  // namespace tandrel

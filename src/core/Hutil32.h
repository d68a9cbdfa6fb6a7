// Small routines the whole program shares: token split, responsive wait, queue
// drain and the truncating percentage of the download progress.
#pragma once

#include "EventLoop.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tandrel {

// Sources this long (in UTF-16 code units) or longer are refused: both outputs empty.
inline constexpr std::size_t kSplitTokenLimit = 20479;

// Cuts the first token off source into token and returns what follows the one
// divider that ended it. Leading dividers are skipped; the token ends before its
// first code 0. Never throws.
std::u16string SplitToken(std::u16string_view source, std::u16string& token, std::u16string_view dividers) noexcept;

// Waits at least the given time while the loop keeps handling messages; sleeps
// 15 ms per round, so even 0 sleeps once. Survives the wrap of the tick count.
void Delay(std::uint32_t milliseconds, EventLoop& loop);
void Delay(std::uint32_t milliseconds);

void PumpMessages();

// Truncated part / whole * scale, computed with a 64-bit mantissa; an infinite or
// undefined value (and any out of range) gives the most negative 64-bit integer.
std::int64_t Percent(double part, double whole, double scale) noexcept;

}  // namespace tandrel

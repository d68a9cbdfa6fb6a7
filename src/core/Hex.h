#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Lowercase, high nibble first.
std::string ToHex(std::span<const std::uint8_t> bytes);

// Digits of either case; nothing when the text is not an even run of hex digits.
std::optional<std::vector<std::uint8_t>> FromHex(std::string_view text);

bool IsLowerHex(std::string_view text);

}  // namespace tandrel

// The bytes of the artwork compiled into the executable (RCDATA resources).
#pragma once

#include <cstdint>
#include <span>

namespace tandrel::win {

// Throws std::runtime_error naming the resource when the executable lacks it.
std::span<const std::uint8_t> ResourceBytes(const wchar_t* name);

}  // namespace tandrel::win

// The box's trace line, for whoever watches the system's debug output.
#pragma once

#include <span>

namespace tandrel::platform {

// Writes the bytes as one line, exactly as given.
void WriteTraceLine(std::span<const char> bytes);

}  // namespace tandrel::platform

// The drive candidates of a Windows system, from its drive letters.
#pragma once

#include "platform/Drives.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

namespace tandrel::platform {

// What choosing candidates asks of the system, so the rules can be tried on tables.
// Each is asked about a drive by its letter, 'A' to 'Z'.
struct DriveLetterProbe {
  std::function<bool(char letter)> fixed;
  // total bytes and the bytes the user may use, or nothing when they cannot be read
  std::function<std::optional<std::pair<std::int64_t, std::int64_t>>(char letter)> space;
};

// The fixed drives whose space can be read, as "X:", in letter order; C: is the system drive.
std::vector<DriveCandidate> DriveLetterCandidates(const DriveLetterProbe& probe);

}  // namespace tandrel::platform

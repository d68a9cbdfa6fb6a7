// The drive candidates of a Linux system, from its mount table.
#pragma once

#include "../Drives.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandrel::platform {

// One line of a mount table (/proc/self/mountinfo).
struct MountEntry {
  std::string device;  // "major:minor"
  std::string root;    // the folder of the file system mounted here ("/" unless bound)
  std::string mountPoint;
  std::string options;  // of this mount
  std::string fsType;
  std::string source;
};
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// What choosing candidates asks of the system, so the rules can be tried on tables.
struct DriveProbe {
  std::function<bool(const std::string& device)> removable;
  std::function<bool(const std::string& folder)> writable;
  // total and free bytes for the user, or nothing when they cannot be read
  std::function<std::optional<std::pair<std::int64_t, std::int64_t>>(const std::string& folder)> space;
};

std::vector<DriveCandidate> DriveCandidates(std::string_view mountInfo, const std::string& homeDevice,
                                            const std::string& dataHome, const DriveProbe& probe);

}  // namespace tandrel::platform

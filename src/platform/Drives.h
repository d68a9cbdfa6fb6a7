// The local drives the box may keep itself on. A system without drive letters
// names its candidates by the folder the box would use on each: the file system
// of the user's home stands for the system drive (its folder is the user's data
// folder); every other local, fixed, writable file system is a candidate by its
// mount point.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::platform {

struct DriveCandidate {
  std::string baseFolder;
  bool system = false;  // the drive the box passes over whenever there is another
  std::int64_t totalSpace = 0;
  std::int64_t freeSpace = 0;  // what the user may use
};

// The system's candidates: the system drive first, then the others in mount order.
std::vector<DriveCandidate> LocalDrives();

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

// $XDG_DATA_HOME, else ~/.local/share.
std::string UserDataFolder();

}  // namespace tandrel::platform

// The local drives the box may keep itself on. On Windows the candidates are the
// fixed drives, named by letter and colon ("D:"), C: being the system drive. A
// system without drive letters names its candidates by the folder the box would
// use on each: the file system of the user's home stands for the system drive
// (its folder is the user's data folder); every other local, fixed, writable file
// system is a candidate by its mount point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tandrel::platform {

struct DriveCandidate {
  std::string baseFolder;
  bool system = false;  // the drive the box passes over whenever there is another
  std::int64_t totalSpace = 0;
  std::int64_t freeSpace = 0;  // what the user may use
};

// The system's candidates whose space can be read: in letter order, or, without
// letters, the system drive first, then the others in mount order.
std::vector<DriveCandidate> LocalDrives();

// The folder for the user's programs' data: $XDG_DATA_HOME, else ~/.local/share;
// the local application data folder on Windows.
std::string UserDataFolder();

}  // namespace tandrel::platform

// Choosing the drive the box keeps itself on: the one with the most space for the
// user, passing over the system drive whenever another candidate exists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tandrel {

struct TDriveInfo {
  std::string DriveLetter;  // how the platform names the candidate: its base folder
  std::int64_t TotalSpace = 0;
  std::int64_t FreeSpace = 0;
  bool IsSystem = false;
};

// The preferred drive's name, or empty when there is no candidate.
std::string GetDiskLetter(std::vector<TDriveInfo> drives);
// The running system's candidates, chosen from.
std::string GetDiskLetter();

// The drive's folder, the separator, and the trimmed install folder name; the
// drive's root when the name is empty.
std::string InstallDirOf(const std::string& drive, const std::string& installDirName);

}  // namespace tandrel

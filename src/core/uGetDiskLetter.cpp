#include "uGetDiskLetter.h"

#include "Paths.h"
#include "TextCodec.h"
#include "platform/Drives.h"

#include <utility>

namespace tandrel {

std::string GetDiskLetter(std::vector<TDriveInfo> drives) {
  if (drives.empty()) return {};
  if (drives.size() == 1) return drives[0].DriveLetter;
  // The exchange procedure: equal space never swaps, so ties keep the earlier drive.
  for (std::size_t i = 0; i + 1 < drives.size(); ++i) {
    for (std::size_t j = i + 1; j < drives.size(); ++j) {
      if (drives[j].FreeSpace > drives[i].FreeSpace) std::swap(drives[i], drives[j]);
    }
  }
  return drives[0].IsSystem ? drives[1].DriveLetter : drives[0].DriveLetter;
}

std::string GetDiskLetter() {
  std::vector<TDriveInfo> drives;
  for (const auto& d : platform::LocalDrives()) drives.push_back({d.baseFolder, d.totalSpace, d.freeSpace, d.system});
  return GetDiskLetter(std::move(drives));
}

std::string InstallDirOf(const std::string& drive, const std::string& installDirName) {
  const std::string_view name = TrimControl(installDirName);
  // A drive letter alone names the current folder on that drive, not its root.
  if (name.empty()) return drive.ends_with(':') ? drive + kPathSeparator : drive;
  return (drive.ends_with(kPathSeparator) ? drive : drive + kPathSeparator) + std::string(name);
}

}  // namespace tandrel

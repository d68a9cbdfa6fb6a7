#include "MountTable.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tandrel::platform {
namespace {

namespace fs = std::filesystem;

// Mount tables write blanks and a few others as \ooo.
std::string Unescape(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string_view::npos) {
        out += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool HasOption(const std::string& options, std::string_view option) {
  std::string_view rest = options;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (rest.substr(0, comma) == option) return true;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return false;
}

std::string DeviceOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
}

// The folder itself, or the nearest one above it that exists.
std::string Existing(const std::string& folder) {
  std::error_code error;
  fs::path p = folder;
  while (!p.empty() && !fs::exists(p, error)) p = p.parent_path();
  return p.empty() ? "/" : p.string();
}

std::optional<std::pair<std::int64_t, std::int64_t>> SpaceOf(const std::string& folder) {
  struct statvfs st {};
  if (::statvfs(Existing(folder).c_str(), &st) != 0) return std::nullopt;
  return std::make_pair(static_cast<std::int64_t>(st.f_blocks) * static_cast<std::int64_t>(st.f_frsize),
                        static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize));
}

// A partition's disk says whether it can be taken out: sysfs keeps the flag there.
bool Removable(const std::string& device) {
  const fs::path node = "/sys/dev/block/" + device;
  for (const fs::path& flag : {node / "removable", node / ".." / "removable"}) {
    std::ifstream in(flag);
    int value = 0;
    if (in >> value) return value != 0;
  }
  return false;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> entries;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::size_t dash = 6;
    while (dash < w.size() && w[dash] != "-") ++dash;
    if (w.size() < 6 || dash + 2 >= w.size()) continue;
    entries.push_back({w[2], Unescape(w[3]), Unescape(w[4]), w[5], w[dash + 1], Unescape(w[dash + 2])});
  }
  return entries;
}

std::vector<DriveCandidate> DriveCandidates(std::string_view mountInfo, const std::string& homeDevice,
                                            const std::string& dataHome, const DriveProbe& probe) {
  std::vector<DriveCandidate> drives;
  if (const auto space = probe.space(dataHome)) drives.push_back({dataHome, true, space->first, space->second});
  std::vector<std::string> seen = {homeDevice};
  for (const MountEntry& m : ParseMountInfo(mountInfo)) {
    const bool blockDevice = m.source.starts_with("/dev/");
    const bool bound = m.root != "/";  // a folder of a file system shown again elsewhere
    const bool systemArea = m.mountPoint == "/boot" || m.mountPoint.starts_with("/boot/");
    if (!blockDevice || bound || systemArea || HasOption(m.options, "ro")) continue;
    if (std::find(seen.begin(), seen.end(), m.device) != seen.end()) continue;
    seen.push_back(m.device);
    if (probe.removable(m.device) || !probe.writable(m.mountPoint)) continue;
    if (const auto space = probe.space(m.mountPoint)) {
      drives.push_back({m.mountPoint, false, space->first, space->second});
    }
  }
  return drives;
}

std::string UserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return data;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/share";
}

std::vector<DriveCandidate> LocalDrives() {
  std::ifstream in("/proc/self/mountinfo");
  std::stringstream table;
  table << in.rdbuf();
  const char* home = std::getenv("HOME");
  const DriveProbe probe{Removable, [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; },
                         SpaceOf};
  return DriveCandidates(table.str(), DeviceOf(home ? home : "/"), UserDataFolder(), probe);
}

}  // namespace tandrel::platform

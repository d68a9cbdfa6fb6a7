#include "platform/FileIdentity.h"

#include <windows.h>

#include <optional>
#include <utility>

namespace tandrel::platform {
namespace {

// The volume and the file's index on it; a folder is opened with backup
// semantics, which needs no privilege when nothing is read.
std::optional<std::pair<DWORD, ULONGLONG>> Identity(const std::filesystem::path& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return std::make_pair(info.dwVolumeSerialNumber, (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

}  // namespace

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  const auto ia = Identity(a), ib = Identity(b);
  return ia && ib && *ia == *ib;
}

}  // namespace tandrel::platform

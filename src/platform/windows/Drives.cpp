#include "DriveLetters.h"

#include "WideText.h"

#include <shlobj.h>

#include <stdexcept>

namespace tandrel::platform {
namespace {

// The calls want the root with its backslash; "X:" alone names the drive's current folder.
std::wstring RootOf(char letter) { return {static_cast<wchar_t>(letter), L':', L'\\'}; }

bool IsFixed(char letter) { return GetDriveTypeW(RootOf(letter).c_str()) == DRIVE_FIXED; }

std::optional<std::pair<std::int64_t, std::int64_t>> SpaceOf(char letter) {
  ULARGE_INTEGER available{}, total{};
  if (!GetDiskFreeSpaceExW(RootOf(letter).c_str(), &available, &total, nullptr)) return std::nullopt;
  return std::make_pair(static_cast<std::int64_t>(total.QuadPart), static_cast<std::int64_t>(available.QuadPart));
}

}  // namespace

std::vector<DriveCandidate> DriveLetterCandidates(const DriveLetterProbe& probe) {
  std::vector<DriveCandidate> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (!probe.fixed(letter)) continue;
    if (const auto space = probe.space(letter)) {
      drives.push_back({std::string{letter, ':'}, letter == 'C', space->first, space->second});
    }
  }
  return drives;
}

std::vector<DriveCandidate> LocalDrives() { return DriveLetterCandidates({IsFixed, SpaceOf}); }

std::string UserDataFolder() {
  wchar_t* folder = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder);
  const std::string text = SUCCEEDED(result) ? Narrow(folder) : std::string();
  CoTaskMemFree(folder);  // also when the call failed
  if (FAILED(result)) {
    throw std::runtime_error("Cannot find the local application data folder. " +
                             SystemErrorText(static_cast<DWORD>(result)));
  }
  return text;
}

}  // namespace tandrel::platform

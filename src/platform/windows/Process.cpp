#include "platform/Process.h"

#include "CommandLine.h"
#include "WideText.h"

#include <cstring>
#include <stdexcept>

namespace tandrel::platform {
namespace {

template <typename T>
bool ReadAt(std::span<const std::uint8_t> bytes, std::size_t at, T& value) {
  if (at > bytes.size() || bytes.size() - at < sizeof(T)) return false;
  std::memcpy(&value, bytes.data() + at, sizeof(T));
  return true;
}

// The machine this program was built for, from its own image's headers.
WORD OwnMachine() {
  const auto* image = reinterpret_cast<const std::uint8_t*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew)->FileHeader.Machine;
}

[[noreturn]] void FailToRename(const std::filesystem::path& from, const std::filesystem::path& to) {
  const DWORD error = GetLastError();
  throw std::runtime_error("Cannot rename \"" + Narrow(from.wstring()) + "\" to \"" + Narrow(to.wstring()) + "\". " +
                           SystemErrorText(error));
}

}  // namespace

std::filesystem::path ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      throw std::runtime_error("Cannot find the running executable: " + SystemErrorText(GetLastError()));
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut off: a long path
  }
}

// A whole PE image: its headers, section table and every section's bytes are
// there, so a download cut short is refused as well as a page that is no program.
bool IsExecutableForThisMachine(std::span<const std::uint8_t> bytes) {
  static const WORD own = OwnMachine();
  IMAGE_DOS_HEADER dos{};
  if (!ReadAt(bytes, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0) return false;
  const auto signatureAt = static_cast<std::size_t>(dos.e_lfanew);
  DWORD signature = 0;
  IMAGE_FILE_HEADER file{};
  if (!ReadAt(bytes, signatureAt, signature) || signature != IMAGE_NT_SIGNATURE ||
      !ReadAt(bytes, signatureAt + sizeof signature, file)) {
    return false;
  }
  if (file.Machine != own || !(file.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE) ||
      (file.Characteristics & IMAGE_FILE_DLL)) {
    return false;
  }
  const std::size_t sectionsAt = signatureAt + sizeof signature + sizeof file + file.SizeOfOptionalHeader;
  for (std::size_t i = 0; i < file.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section{};
    if (!ReadAt(bytes, sectionsAt + i * sizeof section, section)) return false;
    if (std::size_t{section.PointerToRawData} + section.SizeOfRawData > bytes.size()) return false;
  }
  return true;
}

// Console programs get a console of their own that nobody sees: what they print is
// not the box's to show.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  std::vector<std::wstring> wideArguments;
  for (const std::string& argument : arguments) wideArguments.push_back(Widen(argument));
  std::wstring line = CommandLine(program.wstring(), wideArguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  DWORD status = 0;
  const bool ended =
      WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return ended ? static_cast<int>(status) : -1;
}

std::optional<std::filesystem::path> FindProgram(const std::string& name) {
  const std::wstring wide = Widen(name);
  std::wstring found(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        SearchPathW(nullptr, wide.c_str(), L".exe", static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (length == 0) return std::nullopt;
    if (length < found.size()) {
      found.resize(length);
      return found;
    }
    found.resize(length);  // the size it needs, its NUL included
  }
}

namespace {

// Windows lets a running program's file be renamed, never overwritten or deleted.
class SystemSwap final : public ExecutableSwap {
 public:
  // Not written through: the name stays free while a flush waits. The next
  // rename, written through, settles both.
  void BackUp(const std::filesystem::path& exe, const std::filesystem::path& backup) override {
    if (!MoveFileExW(exe.c_str(), backup.c_str(), 0)) FailToRename(exe, backup);
  }

  void MoveIntoPlace(const std::filesystem::path& incoming, const std::filesystem::path& exe) override {
    if (!MoveFileExW(incoming.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      FailToRename(incoming, exe);
    }
  }

  // Only into a free name: whatever stands at exe's name by now is not overwritten.
  void UndoBackUp(const std::filesystem::path& exe, const std::filesystem::path& backup) override {
    MoveFileExW(backup.c_str(), exe.c_str(), MOVEFILE_WRITE_THROUGH);
  }
};

}  // namespace

ExecutableSwap& SystemExecutableSwap() {
  static SystemSwap swap;
  return swap;
}

}  // namespace tandrel::platform

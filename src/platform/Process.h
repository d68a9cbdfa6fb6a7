// What the box needs of the operating system about its own process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tandrel::platform {

// The full path of the running executable, as the system reports it.
std::filesystem::path ExecutablePath();

// Whether bytes are a program this machine runs (an ELF, or on Windows a whole PE
// executable that is no DLL, for the running program's own architecture), so that
// a web page or a truncated download never replaces the box.
bool IsExecutableForThisMachine(std::span<const std::uint8_t> bytes);

// Runs a program with arguments and waits for it; returns its exit status, or -1
// when it could not run.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// A program on the search path, or nothing.
std::optional<std::filesystem::path> FindProgram(const std::string& name);

// Replacing the running executable, in steps whose order is the caller's. The old
// file is kept under the name backup first: Windows lets a running program's file
// be renamed but not overwritten or deleted. The caller runs BackUp and
// MoveIntoPlace back to back, so that on Windows, where exe's name is free in
// between, that moment is as short as the system makes it.
class ExecutableSwap {
 public:
  virtual ~ExecutableSwap() = default;
  // Keeps the running executable's file under the name backup, never replacing a
  // file of that name; the program keeps running. Linux gives the file backup as a
  // second name, so exe still holds a runnable program until MoveIntoPlace;
  // Windows renames it. Throws std::runtime_error with the system's text.
  virtual void BackUp(const std::filesystem::path& exe, const std::filesystem::path& backup) = 0;
  // Renames a whole new program over exe's name. Throws std::runtime_error with
  // the system's text.
  virtual void MoveIntoPlace(const std::filesystem::path& incoming, const std::filesystem::path& exe) = 0;
  // Undoes BackUp when the new program could not be put in place: exe names the
  // old program and the backup is gone (on Windows, when exe's name is still
  // free). Fails quietly.
  virtual void UndoBackUp(const std::filesystem::path& exe, const std::filesystem::path& backup) = 0;
};

// The running system's.
ExecutableSwap& SystemExecutableSwap();

}  // namespace tandrel::platform

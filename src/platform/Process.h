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

// Whether bytes are a program this machine runs (here: ELF for its architecture),
// so that a web page or a truncated download never replaces the box.
bool IsExecutableForThisMachine(std::span<const std::uint8_t> bytes);

// Runs a program with arguments and waits for it; returns its exit status, or -1
// when it could not run.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// A program on the search path, or nothing.
std::optional<std::filesystem::path> FindProgram(const std::string& name);

}  // namespace tandrel::platform

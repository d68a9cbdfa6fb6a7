// Whether a download fits on its drive before a byte of it is written, so a
// full disk is said at once instead of failing half-way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace tandrel::download {

// A file of total bytes, of which have are already on the drive, kept as copies
// files of that length (a launcher and its launch copy), in available bytes.
bool EnoughRoom(std::uint64_t total, std::uint64_t have, unsigned copies, std::uint64_t available);

// The bytes the user may still write on the drive that holds folder; nothing
// when the system cannot say.
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::filesystem::path& folder)>;
std::optional<std::uint64_t> SystemFreeSpace(const std::filesystem::path& folder);

}  // namespace tandrel::download

// Whole-file reads and writes that never leave a half-written file under the real name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

namespace tandrel {

// Reads a file read-only, without locking others out, handing each piece of at
// most pieceSize bytes to consume. Throws std::runtime_error naming the path and
// the system's reason; the file is closed in any case.
void ReadFileInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                      const std::function<void(const std::uint8_t* data, std::size_t size)>& consume);

// Throws std::runtime_error naming the path and the system's reason.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Writes the bytes to a temporary file in the same folder, flushes it to disk and
// renames it over path, so readers see the old file or the whole new one. The
// rename also replaces an executable that is still running. Throws
// std::runtime_error naming the path and the system's reason; the temporary file
// is removed on failure.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::filesystem::perms mode = std::filesystem::perms(0644));

// Makes a folder with its missing parents unless it is there; throws
// std::runtime_error with the system's text.
void EnsureFolder(const std::filesystem::path& folder);

// Copies a file the same way: the copy appears whole under its name or not at all.
void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::filesystem::perms mode);

}  // namespace tandrel

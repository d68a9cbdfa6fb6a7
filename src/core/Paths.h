// Paths made from text and text made from paths, always as UTF-8. A path made
// from a plain std::string reads its bytes in the system's code page on some
// systems; the core never does that.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tandrel {

// What the system puts between a folder and what it holds: "/", or "\" on Windows.
inline constexpr char kPathSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// The folder's text ending in the separator.
std::string FolderText(const std::filesystem::path& folder);

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace tandrel

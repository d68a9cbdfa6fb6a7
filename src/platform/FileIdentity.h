// Whether two paths name the same file or folder, as the file system sees it:
// through links, and in whatever letter case the system ignores.
#pragma once

#include <filesystem>

namespace tandrel::platform {

// False when either cannot be looked at.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace tandrel::platform

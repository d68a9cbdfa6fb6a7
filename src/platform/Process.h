// What the box needs of the operating system about its own process.
#pragma once

#include <filesystem>

namespace tandrel::platform {

// The full path of the running executable, as the system reports it.
std::filesystem::path ExecutablePath();

}  // namespace tandrel::platform

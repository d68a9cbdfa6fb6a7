// The desktop's shortcut to the box, and the icon it shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tandrel::platform {

struct ShortcutTarget {
  std::string exePath;
  std::string exeDir;  // ends in "/"
  std::string iconPath;
  std::string version;
};

// Installs the icon where the desktop looks for the shortcut's icon, named after
// the shortcut; returns its path. Throws std::runtime_error with the system's text.
std::string InstallShortcutIcon(const std::string& name, std::span<const std::uint8_t> png);

// Writes the shortcut named name (trimmed, not empty) to the user's desktop, when
// there is one, and to the applications menu, replacing one of the same name.
// Throws std::runtime_error with the system's text.
void WriteDesktopShortcut(const std::string& name, const ShortcutTarget& target);

}  // namespace tandrel::platform

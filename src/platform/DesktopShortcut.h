// The desktop's shortcut to the box, and the icon it shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tandrel::platform {

struct ShortcutTarget {
  std::string exePath;
  std::string exeDir;  // ends in the path separator
  std::string iconPath;
  std::string version;
};

// Installs the icon where the desktop looks for the shortcut's icon, named after
// the shortcut; returns its path. On Windows the shortcut shows its target's own
// icon: nothing is written and the path is empty. Throws std::runtime_error with
// the system's text.
std::string InstallShortcutIcon(const std::string& name, std::span<const std::uint8_t> png);

// Writes the shortcut named name (trimmed, not empty) to the user's desktop,
// replacing one of the same name. On Linux it goes to the applications menu too,
// and to the desktop only when there is one. On Windows it is a shell link in the
// folder that the registry's "Shell Folders" value "Desktop" names, and whether it
// was saved is not looked at. Throws std::runtime_error with the system's text (on
// Windows also for a "Desktop" value that is no text).
void WriteDesktopShortcut(const std::string& name, const ShortcutTarget& target);

}  // namespace tandrel::platform

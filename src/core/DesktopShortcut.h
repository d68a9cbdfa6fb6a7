// The box's desktop entry, on the desktop and in the applications menu, rewritten
// at every start so it follows the box wherever it moved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tandrel {

struct ShortcutTarget {
  std::string exePath;
  std::string exeDir;  // ends in "/"
  std::string iconPath;
  std::string version;
};

// The user's desktop folder from the XDG user folders, else ~/Desktop.
std::string DesktopFolder();

// The text of the entry.
std::string DesktopEntry(const std::string& name, const ShortcutTarget& target);

// Writes "<name>.desktop" (trimmed name) to the desktop folder, when there is
// one, and to the applications folder. An empty name does nothing.
void CreateDesktopShortcut(const std::string& name, const ShortcutTarget& target);

}  // namespace tandrel

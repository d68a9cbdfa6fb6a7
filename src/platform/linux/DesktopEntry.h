// Desktop entries (freedesktop.org) and the XDG user folders they go to.
#pragma once

#include "../DesktopShortcut.h"

#include <string>

namespace tandrel::platform {

// The user's desktop folder from the XDG user folders, else ~/Desktop.
std::string DesktopFolder();

// The text of the entry.
std::string DesktopEntry(const std::string& name, const ShortcutTarget& target);

}  // namespace tandrel::platform

// The box's desktop shortcut, rewritten at every start so it follows the box
// wherever it moved.
#pragma once

#include "platform/DesktopShortcut.h"

#include <string>

namespace tandrel {

using platform::ShortcutTarget;

// Writes the shortcut named after the trimmed name; an empty name does nothing.
void CreateDesktopShortcut(const std::string& name, const ShortcutTarget& target);

}  // namespace tandrel

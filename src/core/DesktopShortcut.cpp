#include "DesktopShortcut.h"

#include "TextCodec.h"

namespace tandrel {

void CreateDesktopShortcut(const std::string& name, const ShortcutTarget& target) {
  const std::string trimmed(TrimControl(name));
  if (trimmed.empty()) return;
  platform::WriteDesktopShortcut(trimmed, target);
}

}  // namespace tandrel

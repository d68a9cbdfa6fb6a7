#include "BoxPlacement.h"

#include "DesktopShortcut.h"
#include "Paths.h"
#include "Relocation.h"
#include "SelfUpdate.h"
#include "Share.h"
#include "TextCodec.h"
#include "uGetDiskLetter.h"

namespace tandrel {

BoxPlacement::BoxPlacement(BoxPlacementParts parts) : parts_(std::move(parts)) {}

bool BoxPlacement::RelocateIfNeeded() {
  const std::string drive = parts_.drive();
  if (drive.empty()) return false;
  return Relocation(parts_.shell, parts_.exePath, parts_.requestTermination)
      .RelocateIfNeeded(InstallDirOf(drive, InstallDirName()));
}

bool BoxPlacement::CheckSelfUpdate() {
  return SelfUpdate(parts_.client, parts_.windows, parts_.shell, parts_.exePath, parts_.site, parts_.requestTermination)
      .CheckSelfUpdate();
}

void BoxPlacement::CreateDesktopShortcut(const std::string& name) {
  const std::string trimmed(TrimControl(name));
  if (trimmed.empty()) return;
  const std::string icon = platform::InstallShortcutIcon(trimmed, parts_.iconPng);
  const std::string exeDir = FolderText(PathFromUtf8(parts_.exePath).parent_path());
  tandrel::CreateDesktopShortcut(trimmed, ShortcutTarget{parts_.exePath, exeDir, icon, parts_.version});
}

void BoxPlacement::CleanUpLeftovers() {
  Relocation(parts_.shell, parts_.exePath, parts_.requestTermination).CleanUpLeftovers();
}

}  // namespace tandrel

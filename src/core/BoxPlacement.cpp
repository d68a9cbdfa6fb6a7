#include "BoxPlacement.h"

#include "DesktopShortcut.h"
#include "FileIo.h"
#include "Relocation.h"
#include "SelfUpdate.h"
#include "Share.h"
#include "TextCodec.h"
#include "uGetDiskLetter.h"
#include "platform/Drives.h"

#include <filesystem>

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
  // The icon goes where desktops look for icons, named after the box.
  const std::filesystem::path icons =
      std::filesystem::path(platform::UserDataFolder()) / "icons" / "hicolor" / "256x256" / "apps";
  EnsureFolder(icons);
  const std::filesystem::path icon = icons / ("tandrel-" + trimmed + ".png");
  WriteFileAtomically(icon, parts_.iconPng);
  const std::filesystem::path exe = parts_.exePath;
  tandrel::CreateDesktopShortcut(
      trimmed, ShortcutTarget{parts_.exePath, exe.parent_path().string() + "/", icon.string(), parts_.version});
}

void BoxPlacement::CleanUpLeftovers() {
  Relocation(parts_.shell, parts_.exePath, parts_.requestTermination).CleanUpLeftovers();
}

}  // namespace tandrel

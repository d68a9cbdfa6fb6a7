#include "core/DesktopShortcut.h"
#include "platform/linux/DesktopEntry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

class DesktopShortcutTest : public ::testing::Test {
 protected:
  DesktopShortcutTest() {
    setenv("HOME", home_.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    fs::create_directories(home_ / "Desktop");
  }
  const ShortcutTarget target_{"/games/Corvessa/box", "/games/Corvessa/", "/icons/box.png", "1.0.0.0"};
  test::TempDir home_;
};

TEST_F(DesktopShortcutTest, WritesTheEntryToTheDesktopAndTheApplicationsMenu) {
  CreateDesktopShortcut("  Corvessa \t", target_);
  const std::string entry = test::ReadFile(home_ / "Desktop" / "Corvessa.desktop");
  EXPECT_EQ(entry,
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Corvessa\nComment=Tandrel 1.0.0.0\n"
            "Exec=\"/games/Corvessa/box\"\nPath=/games/Corvessa/\nIcon=/icons/box.png\nTerminal=false\n"
            "Categories=Game;\nX-Tandrel-Version=1.0.0.0\n");
  EXPECT_EQ(test::ReadFile(home_ / ".local/share/applications/Corvessa.desktop"), entry);
  EXPECT_TRUE((fs::status(home_ / "Desktop" / "Corvessa.desktop").permissions() & fs::perms::owner_exec) !=
              fs::perms::none);

  // The next start, from elsewhere, replaces it: still one entry.
  CreateDesktopShortcut("Corvessa", {"/data/Corvessa/box", "/data/Corvessa/", "/icons/box.png", "1.0.0.0"});
  EXPECT_NE(test::ReadFile(home_ / "Desktop" / "Corvessa.desktop").find("Exec=\"/data/Corvessa/box\""),
            std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(home_ / "Desktop"), fs::directory_iterator()), 1);
}

TEST_F(DesktopShortcutTest, QuotesTheProgramPathForExec) {
  const std::string entry = platform::DesktopEntry("A", {"/my games/$x/\"q\"/box", "/my games/", "/i.png", "1"});
  EXPECT_NE(entry.find("Exec=\"/my games/\\$x/\\\"q\\\"/box\"\n"), std::string::npos) << entry;
}

TEST_F(DesktopShortcutTest, FindsTheDesktopInTheUserFolders) {
  fs::create_directories(home_ / ".config");
  fs::create_directories(home_ / "桌面");
  test::WriteFile(home_ / ".config" / "user-dirs.dirs", "# written by xdg-user-dirs\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
  EXPECT_EQ(platform::DesktopFolder(), home_.path().string() + "/桌面");
  CreateDesktopShortcut("Corvessa", target_);
  EXPECT_TRUE(fs::exists(home_ / "桌面" / "Corvessa.desktop"));
}

TEST_F(DesktopShortcutTest, AnEmptyNameOrNoDesktopWritesNoDesktopFile) {
  CreateDesktopShortcut("   ", target_);
  EXPECT_FALSE(fs::exists(home_ / ".local/share/applications"));
  EXPECT_EQ(std::distance(fs::directory_iterator(home_ / "Desktop"), fs::directory_iterator()), 0);

  fs::remove(home_ / "Desktop");
  CreateDesktopShortcut("Corvessa", target_);
  EXPECT_FALSE(fs::exists(home_ / "Desktop"));  // not made, and nothing written at the root
  EXPECT_TRUE(fs::exists(home_ / ".local/share/applications/Corvessa.desktop"));
}

}  // namespace
}  // namespace tandrel

#include "DesktopEntry.h"

#include "../Drives.h"
#include "../Files.h"
#include "../Process.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace tandrel::platform {
namespace {

namespace fs = std::filesystem;

std::string Home() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Exec quoting of desktop entries: inside double quotes, ", `, $ and \ are escaped.
std::string QuotedForExec(const std::string& path) {
  std::string out = "\"";
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Values are one line; a backslash starts an escape.
std::string EntryValue(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

void MakeFolders(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder, error)) return;
  fs::create_directories(folder, error);
  if (error) throw std::runtime_error("Cannot create folder \"" + folder.string() + "\". " + error.message());
}

void Write(const fs::path& file, std::string_view bytes, fs::perms mode) {
  const auto replacement = CreateReplacementFile(file);
  replacement->Write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  replacement->Commit(mode);
}

// Desktops that ask before running an entry from the desktop honour this mark.
void MarkTrusted(const fs::path& file) {
  if (const auto gio = FindProgram("gio")) RunProgram(*gio, {"set", file.string(), "metadata::trusted", "true"});
}

}  // namespace

std::string DesktopFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const fs::path dirs = (config && *config == '/' ? fs::path(config) : fs::path(Home()) / ".config") / "user-dirs.dirs";
  std::ifstream in(dirs);
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view text = TrimBlanks(line);
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
    if (!text.starts_with(kKey)) continue;
    std::string value(text.substr(kKey.size()));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.starts_with("$HOME")) value = Home() + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return Home() + "/Desktop";
}

std::string DesktopEntry(const std::string& name, const ShortcutTarget& target) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=" +
         EntryValue(name) + "\n" + "Comment=Tandrel " + target.version + "\n" +
         "Exec=" + QuotedForExec(target.exePath) + "\n" + "Path=" + EntryValue(target.exeDir) + "\n" +
         "Icon=" + EntryValue(target.iconPath) + "\n" +
         "Terminal=false\n"
         "Categories=Game;\n"
         "X-Tandrel-Version=" +
         target.version + "\n";
}

std::string InstallShortcutIcon(const std::string& name, std::span<const std::uint8_t> png) {
  // Where desktops look for icons, named after the box.
  const fs::path icons = fs::path(UserDataFolder()) / "icons" / "hicolor" / "256x256" / "apps";
  MakeFolders(icons);
  const fs::path icon = icons / ("tandrel-" + name + ".png");
  Write(icon, {reinterpret_cast<const char*>(png.data()), png.size()}, fs::perms(0644));
  return icon.string();
}

void WriteDesktopShortcut(const std::string& name, const ShortcutTarget& target) {
  const std::string entry = DesktopEntry(name, target);
  // Players look in the applications menu too.
  const fs::path applications = fs::path(UserDataFolder()) / "applications";
  MakeFolders(applications);
  Write(applications / (name + ".desktop"), entry, fs::perms(0755));
  const fs::path desktop = DesktopFolder();
  if (!fs::is_directory(desktop)) return;  // no desktop: nothing to put there
  const fs::path file = desktop / (name + ".desktop");
  Write(file, entry, fs::perms(0755));
  MarkTrusted(file);
}

}  // namespace tandrel::platform

#include "DesktopShortcut.h"

#include "FileIo.h"
#include "TextCodec.h"
#include "platform/Drives.h"
#include "platform/Process.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

std::string Home() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
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

void Write(const fs::path& file, const std::string& text) {
  WriteFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                      fs::perms(0755));
}

// Desktops that ask before running an entry from the desktop honour this mark.
void MarkTrusted(const fs::path& file) {
  if (const auto gio = platform::FindProgram("gio")) {
    platform::RunProgram(*gio, {"set", file.string(), "metadata::trusted", "true"});
  }
}

}  // namespace

std::string DesktopFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const fs::path dirs = (config && *config == '/' ? fs::path(config) : fs::path(Home()) / ".config") / "user-dirs.dirs";
  std::ifstream in(dirs);
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view text = TrimControl(line);
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
         "Name=" + EntryValue(name) + "\n" +
         "Comment=Tandrel " + target.version + "\n" +
         "Exec=" + QuotedForExec(target.exePath) + "\n" +
         "Path=" + EntryValue(target.exeDir) + "\n" +
         "Icon=" + EntryValue(target.iconPath) + "\n" +
         "Terminal=false\n"
         "Categories=Game;\n"
         "X-Tandrel-Version=" + target.version + "\n";
}

void CreateDesktopShortcut(const std::string& name, const ShortcutTarget& target) {
  const std::string trimmed(TrimControl(name));
  if (trimmed.empty()) return;
  const std::string entry = DesktopEntry(trimmed, target);
  // Players look in the applications menu too.
  const fs::path applications = fs::path(platform::UserDataFolder()) / "applications";
  EnsureFolder(applications);
  Write(applications / (trimmed + ".desktop"), entry);
  const fs::path desktop = DesktopFolder();
  if (!fs::is_directory(desktop)) return;  // no desktop: nothing to put there
  const fs::path file = desktop / (trimmed + ".desktop");
  Write(file, entry);
  MarkTrusted(file);
}

}  // namespace tandrel

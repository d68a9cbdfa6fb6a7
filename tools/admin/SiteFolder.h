// An operator's site folder, the reference service's input:
//
//   site.conf          key, iv, user, password (see WriteSiteConf); when it is
//                      missing, they are read from the stamped box below
//   servers.json       the plain server-list document
//   logo.png           the banner
//   box                the current box executable, served as getvalue/box.exe
//   launchers/NAME.exe the launcher of each LauncherName
#pragma once

#include "core/SiteBlock.h"

#include <filesystem>
#include <string>

namespace tandrel::admin {

// What a box and its service must agree on.
struct SiteKeys {
  site::Secret key{};
  site::Secret iv{};
  std::string user;
  std::string password;
  std::string AuthHeaderValue() const { return site::BasicAuthorization(user, password); }
};

// Reads a site.conf; throws std::runtime_error naming what is missing or malformed.
SiteKeys ReadSiteConf(const std::filesystem::path& path);
void WriteSiteConf(const std::filesystem::path& path, const SiteKeys& keys);
SiteKeys RandomSiteKeys();
// 32 lowercase hexadecimal digits from the system's random source.
std::string RandomCredential();

// The keys of a stamped box: credentials taken back out of its "Authorization" value.
SiteKeys KeysOfBox(const std::filesystem::path& box);

class SiteFolder {
 public:
  explicit SiteFolder(std::filesystem::path root);

  const std::filesystem::path& root() const { return root_; }
  const SiteKeys& keys() const { return keys_; }
  std::filesystem::path ServersJson() const { return root_ / "servers.json"; }
  std::filesystem::path Logo() const { return root_ / "logo.png"; }
  std::filesystem::path Box() const { return root_ / "box"; }
  std::filesystem::path LaunchersDir() const { return root_ / "launchers"; }

 private:
  std::filesystem::path root_;
  SiteKeys keys_;
};

}  // namespace tandrel::admin

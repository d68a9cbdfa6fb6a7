// An operator's site folder, the reference service's input:
//
//   site.conf          key, iv, user, password (see WriteSiteConf); when it is
//                      missing, they are read from the stamped box below
//   servers.json       the plain server-list document
//   logo.png           the banner
//   box                the current box executable, served as getvalue/box.exe
//   launchers/NAME.exe the launcher of each LauncherName
//   release.txt        the signed release record (sign), with the list and the
//   release/           banner it signed: what a signed site gives out
#pragma once

#include "core/SiteBlock.h"

#include <cstdint>
#include <filesystem>
#include <utility>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace tandrel::admin {

// What a box and its service must agree on.
struct SiteKeys {
  site::Secret key{};
  site::Secret iv{};
  std::string user;
  std::string password;
  std::string AuthHeaderValue() const { return site::BasicAuthorization(user, password); }
  // A signed site's own: its id (32 lowercase hexadecimal digits, made once) and
  // the last serial sign gave, so a lost or restored record never sends it back.
  std::string siteId;
  std::uint64_t lastSerial = 0;
};

// Reads a site.conf; throws std::runtime_error naming what is missing or malformed.
SiteKeys ReadSiteConf(const std::filesystem::path& path);
void WriteSiteConf(const std::filesystem::path& path, const SiteKeys& keys);
SiteKeys RandomSiteKeys();
// 32 lowercase hexadecimal digits from the system's random source.
std::string RandomCredential();

// The keys of a stamped box: credentials taken back out of its "Authorization" value.
SiteKeys KeysOfBox(const std::filesystem::path& box);

// A file of the site opened to be given out, by the service or by publish: the
// very file that was checked, whatever happens to its name afterwards.
class SiteFile {
 public:
  SiteFile(int fd, const struct stat& info, std::filesystem::path realPath)
      : fd_(fd), info_(info), realPath_(std::move(realPath)) {}
  SiteFile(SiteFile&& other) noexcept
      : fd_(std::exchange(other.fd_, -1)), info_(other.info_), realPath_(std::move(other.realPath_)) {}
  SiteFile& operator=(SiteFile&&) = delete;
  SiteFile(const SiteFile&) = delete;
  ~SiteFile();

  int fd() const { return fd_; }
  std::uint64_t size() const { return static_cast<std::uint64_t>(info_.st_size); }
  const struct stat& info() const { return info_; }
  // A name for this very open file (/proc/self/fd/N; without /proc, the resolved
  // path that was checked), for readers that take a path.
  std::filesystem::path OpenPath() const;

 private:
  int fd_;
  struct stat info_;
  std::filesystem::path realPath_;
};

class SiteFolder {
 public:
  explicit SiteFolder(std::filesystem::path root);

  const std::filesystem::path& root() const { return root_; }
  const SiteKeys& keys() const { return keys_; }
  // Writes the keys back to site.conf (the site's id and last serial among them).
  void SaveKeys(const SiteKeys& keys);
  std::filesystem::path ServersJson() const { return root_ / "servers.json"; }
  std::filesystem::path Logo() const { return root_ / "logo.png"; }
  std::filesystem::path Box() const { return root_ / "box"; }
  std::filesystem::path LaunchersDir() const { return root_ / "launchers"; }
  std::filesystem::path Record() const { return root_ / "release.txt"; }
  std::filesystem::path SignedList() const { return root_ / "release" / "servers.json"; }
  std::filesystem::path SignedLogo() const { return root_ / "release" / "logo.png"; }
  bool Signed() const { return std::filesystem::exists(Record()); }
  // What players get: a signed site's list and banner are the copies sign made,
  // so an edited servers.json changes nothing until the next sign.
  std::filesystem::path ServedList() const { return Signed() ? SignedList() : ServersJson(); }

  // The files the site gives out, opened only when each is a regular file whose
  // resolved path lies inside the folder it belongs to: the banner and the box are
  // themselves (no link), a launcher lies inside the site's own launchers/ folder
  // (a link among the launchers is followed, one out of it is not, nor a linked
  // launchers/ folder). site.conf and servers.json are never given out, under any
  // name, hard links included. nullopt for a missing or refused file; the service
  // serves and publish copies through these alone.
  std::optional<SiteFile> OpenLogo() const;
  std::optional<SiteFile> OpenBox() const;
  std::optional<SiteFile> OpenServedLogo() const;
  std::optional<SiteFile> OpenRecord() const;
  // NAME is a plain file name (IsSafeLauncherName); the file is launchers/NAME.exe.
  std::optional<SiteFile> OpenLauncher(const std::string& name) const;

 private:
  std::filesystem::path root_;
  SiteKeys keys_;
};

}  // namespace tandrel::admin

#include "SiteFolder.h"

#include "BoxImage.h"

#include "core/FileIo.h"
#include "core/Hex.h"
#include "core/TextCodec.h"
#include "core/uGameRun.h"

#include <fcntl.h>
#include <fstream>
#include <map>
#include <openssl/rand.h>
#include <stdexcept>
#include <unistd.h>

namespace tandrel::admin {
namespace {

site::Secret SecretFrom(const std::string& text, const std::string& what) {
  const auto bytes = FromHex(text);
  if (!bytes || bytes->size() != site::kSecretSize) throw std::runtime_error(what + " must be 32 hexadecimal digits");
  site::Secret secret{};
  std::copy(bytes->begin(), bytes->end(), secret.begin());
  return secret;
}

std::string CredentialFrom(const std::string& text, const std::string& what) {
  if (text.size() != 32 || !IsLowerHex(text))
    throw std::runtime_error(what + " must be 32 lowercase hexadecimal digits");
  return text;
}

std::string RandomHex(std::size_t bytes) {
  std::vector<std::uint8_t> random(bytes);
  if (RAND_bytes(random.data(), static_cast<int>(bytes)) != 1) throw std::runtime_error("no random numbers available");
  return ToHex(random);
}

namespace fs = std::filesystem;

// Where an open file really lies: the kernel's own name for it, so no link or
// rename between the check and the read can slip another file in.
std::optional<fs::path> RealPathOf(int fd, const struct stat& info, const fs::path& openedAs) {
  std::error_code error;
  const fs::path real = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
  if (!error) return real;
  // No /proc: resolve the name, and accept it only when it still names the open file.
  const fs::path resolved = fs::canonical(openedAs, error);
  struct stat now {};
  if (error || ::stat(resolved.c_str(), &now) != 0 || now.st_dev != info.st_dev || now.st_ino != info.st_ino) {
    return std::nullopt;
  }
  return resolved;
}

// True when path lies below folder (both resolved, absolute).
bool LiesInside(const fs::path& path, const fs::path& folder) {
  auto p = path.begin();
  for (const auto& part : folder) {
    if (p == path.end() || *p != part) return false;
    ++p;
  }
  return p != path.end();
}

bool SameFile(const struct stat& info, const fs::path& other) {
  struct stat o {};
  return ::stat(other.c_str(), &o) == 0 && o.st_dev == info.st_dev && o.st_ino == info.st_ino;
}

// Opens path only when it is a regular file whose resolved path is `exactly`, or lies
// inside `folder`, and is neither of the site's secret files.
std::optional<SiteFile> OpenGivenOut(const fs::path& root, const fs::path& path, const std::optional<fs::path>& exactly,
                                     const std::optional<fs::path>& folder) {
  // O_NONBLOCK: a FIFO under a launcher's name must not hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  const auto real = RealPathOf(fd, info, path);
  if (!real) {
    ::close(fd);
    return std::nullopt;
  }
  SiteFile file(fd, info, *real);
  if (exactly && *real != *exactly) return std::nullopt;
  if (folder && !LiesInside(*real, *folder)) return std::nullopt;
  for (const char* secret : {"site.conf", "servers.json"}) {
    if (SameFile(info, root / secret)) return std::nullopt;
  }
  return file;
}

}  // namespace

SiteFile::~SiteFile() {
  if (fd_ >= 0) ::close(fd_);
}

fs::path SiteFile::OpenPath() const {
  const fs::path byDescriptor = "/proc/self/fd/" + std::to_string(fd_);
  std::error_code error;
  return fs::exists(byDescriptor, error) ? byDescriptor : realPath_;
}

SiteKeys ReadSiteConf(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::map<std::string, std::string> values;
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view text = TrimControl(line);
    if (text.empty() || text.front() == '#') continue;
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) throw std::runtime_error(path.string() + ": not a name = value line: " + line);
    values[std::string(TrimControl(text.substr(0, eq)))] = std::string(TrimControl(text.substr(eq + 1)));
  }
  const auto get = [&](const std::string& name) {
    const auto it = values.find(name);
    if (it == values.end()) throw std::runtime_error(path.string() + ": " + name + " is missing");
    return it->second;
  };
  const std::string where = path.string() + ": ";
  SiteKeys keys{SecretFrom(get("key"), where + "key"),
                SecretFrom(get("iv"), where + "iv"),
                CredentialFrom(get("user"), where + "user"),
                CredentialFrom(get("password"), where + "password"),
                {},
                0};
  if (values.count("site-id")) keys.siteId = CredentialFrom(get("site-id"), where + "site-id");
  if (values.count("last-serial")) {
    const std::string& serial = values["last-serial"];
    if (serial.empty() || serial.size() > 19 || serial.find_first_not_of("0123456789") != std::string::npos) {
      throw std::runtime_error(where + "last-serial is no number");
    }
    keys.lastSerial = std::stoull(serial);
  }
  return keys;
}

void WriteSiteConf(const std::filesystem::path& path, const SiteKeys& keys) {
  const std::string text =
      "# The site's secrets. Boxes stamped for this site carry the same values:\n"
      "#   tandrel-admin stamp BOX OUT --url URL --name NAME --site-dir SITE\n"
      "key = " +
      ToHex(keys.key) + "\n" + "iv = " + ToHex(keys.iv) + "\n" + "user = " + keys.user + "\n" +
      "password = " + keys.password + "\n" + (keys.siteId.empty() ? "" : "site-id = " + keys.siteId + "\n") +
      (keys.lastSerial ? "last-serial = " + std::to_string(keys.lastSerial) + "\n" : "");
  WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                      std::filesystem::perms(0600));
}

SiteKeys RandomSiteKeys() {
  SiteKeys keys;
  keys.key = SecretFrom(RandomHex(16), "key");
  keys.iv = SecretFrom(RandomHex(16), "iv");
  keys.user = RandomCredential();
  keys.password = RandomCredential();
  keys.siteId = RandomCredential();  // made once, kept for the site's signed releases
  return keys;
}

std::string RandomCredential() { return RandomHex(16); }

SiteKeys KeysOfBox(const std::filesystem::path& box) {
  const site::Settings s = BoxImage(box).Settings();
  const auto credentials = site::ParseBasicAuthorization(s.authHeaderValue);
  if (!credentials) throw std::runtime_error(box.string() + ": its Authorization value holds no Basic user:password");
  return SiteKeys{s.configKey, s.configIv, credentials->user, credentials->password, {}, 0};
}

void SiteFolder::SaveKeys(const SiteKeys& keys) {
  WriteSiteConf(root_ / "site.conf", keys);
  keys_ = keys;
}

SiteFolder::SiteFolder(std::filesystem::path root) : root_(std::move(root)) {
  if (!std::filesystem::is_directory(root_)) throw std::runtime_error(root_.string() + " is no folder");
  if (std::filesystem::exists(root_ / "site.conf")) {
    keys_ = ReadSiteConf(root_ / "site.conf");
  } else if (std::filesystem::exists(Box())) {
    keys_ = KeysOfBox(Box());
  } else {
    throw std::runtime_error(root_.string() + " has neither site.conf nor a stamped box");
  }
}

namespace {

// The site folder as the system resolves it (the folder itself may be reached through a link).
std::optional<fs::path> RealRoot(const fs::path& root) {
  std::error_code error;
  fs::path real = fs::canonical(root, error);
  if (error) return std::nullopt;
  return real;
}

}  // namespace

std::optional<SiteFile> SiteFolder::OpenLogo() const {
  const auto real = RealRoot(root_);
  if (!real) return std::nullopt;
  return OpenGivenOut(root_, Logo(), *real / "logo.png", std::nullopt);
}

std::optional<SiteFile> SiteFolder::OpenServedLogo() const {
  if (!Signed()) return OpenLogo();
  const auto real = RealRoot(root_);
  if (!real) return std::nullopt;
  return OpenGivenOut(root_, SignedLogo(), *real / "release" / "logo.png", std::nullopt);
}

std::optional<SiteFile> SiteFolder::OpenRecord() const {
  const auto real = RealRoot(root_);
  if (!real) return std::nullopt;
  return OpenGivenOut(root_, Record(), *real / "release.txt", std::nullopt);
}

std::optional<SiteFile> SiteFolder::OpenBox() const {
  const auto real = RealRoot(root_);
  if (!real) return std::nullopt;
  return OpenGivenOut(root_, Box(), *real / "box", std::nullopt);
}

std::optional<SiteFile> SiteFolder::OpenLauncher(const std::string& name) const {
  if (!IsSafeLauncherName(name)) return std::nullopt;
  const auto real = RealRoot(root_);
  if (!real) return std::nullopt;
  // The site's own launchers/ folder, not wherever a link of that name points.
  return OpenGivenOut(root_, LaunchersDir() / (name + ".exe"), std::nullopt, *real / "launchers");
}

}  // namespace tandrel::admin

#include "SiteFolder.h"

#include "BoxImage.h"

#include "core/FileIo.h"
#include "core/Hex.h"
#include "core/TextCodec.h"

#include <fstream>
#include <map>
#include <openssl/rand.h>
#include <stdexcept>

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
  if (text.size() != 32 || !IsLowerHex(text)) throw std::runtime_error(what + " must be 32 lowercase hexadecimal digits");
  return text;
}

std::string RandomHex(std::size_t bytes) {
  std::vector<std::uint8_t> random(bytes);
  if (RAND_bytes(random.data(), static_cast<int>(bytes)) != 1) throw std::runtime_error("no random numbers available");
  return ToHex(random);
}

}  // namespace

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
  return SiteKeys{SecretFrom(get("key"), where + "key"), SecretFrom(get("iv"), where + "iv"),
                  CredentialFrom(get("user"), where + "user"), CredentialFrom(get("password"), where + "password")};
}

void WriteSiteConf(const std::filesystem::path& path, const SiteKeys& keys) {
  const std::string text =
      "# The site's secrets. Boxes stamped for this site carry the same values:\n"
      "#   tandrel-admin stamp BOX OUT --url URL --name NAME --site-dir SITE\n"
      "key = " + ToHex(keys.key) + "\n" +
      "iv = " + ToHex(keys.iv) + "\n" +
      "user = " + keys.user + "\n" +
      "password = " + keys.password + "\n";
  WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                      std::filesystem::perms(0600));
}

SiteKeys RandomSiteKeys() {
  SiteKeys keys;
  keys.key = SecretFrom(RandomHex(16), "key");
  keys.iv = SecretFrom(RandomHex(16), "iv");
  keys.user = RandomCredential();
  keys.password = RandomCredential();
  return keys;
}

std::string RandomCredential() { return RandomHex(16); }

SiteKeys KeysOfBox(const std::filesystem::path& box) {
  const site::Settings s = BoxImage(box).Settings();
  const auto credentials = site::ParseBasicAuthorization(s.authHeaderValue);
  if (!credentials) throw std::runtime_error(box.string() + ": its Authorization value holds no Basic user:password");
  return SiteKeys{s.configKey, s.configIv, credentials->user, credentials->password};
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

}  // namespace tandrel::admin

#include "BoxImage.h"
#include "Commands.h"
#include "KeyOptions.h"
#include "OperatorKey.h"
#include "SiteFolder.h"
#include "SiteRelease.h"

#include "core/Hex.h"
#include "core/http/Url.h"

#include <algorithm>
#include <cstdio>

namespace tandrel::admin {
namespace {

std::string ParseCredential(const std::string& option, const std::string& text) {
  if (text.size() != 32 || !IsLowerHex(text)) throw UsageError(option + " must be 32 lowercase hexadecimal digits");
  return text;
}

// The current key, its standby, the site's id (made now for a site made before
// ids were) and the floor: the serial the site's next sign gives.
site::Trust SiteTrust(SiteFolder& site, const std::vector<std::string>& texts) {
  if (texts.size() != 2) throw UsageError("--trust-key is given twice: the current key and a standby kept offline");
  site::Trust trust;
  trust.keys = {ParsePublicKey("--trust-key", texts[0]), ParsePublicKey("--trust-key", texts[1])};
  if (trust.keys[0] == trust.keys[1]) throw UsageError("the two --trust-key values must be two keys");
  if (site.keys().siteId.empty()) {
    SiteKeys keys = site.keys();
    keys.siteId = RandomCredential();
    site.SaveKeys(keys);
  }
  const auto id = FromHex(site.keys().siteId);
  std::copy(id->begin(), id->end(), trust.siteId.begin());
  trust.floor = NextSerial(site);
  return trust;
}

}  // namespace

int Stamp(const std::vector<std::string>& words) {
  const Args args(words,
                  {"--url", "--name", "--install-dir", "--trace", "--key", "--iv", "--user", "--password", "--site-dir",
                   "--trust-key", "--mirror"},
                  {"--new-credentials", "--no-mirrors"});
  args.ExpectPositionals(2, "IN and OUT");
  BoxImage image(args.positionals()[0]);
  site::Settings s = image.Settings();

  s.serverUrl = args.Required("--url");
  if (!http::IsHttpUrl(s.serverUrl) || !s.serverUrl.ends_with('/')) {
    throw UsageError("--url must be an absolute http:// or https:// URL that ends in \"/\"");
  }
  // Mirrors serve the launchers and the box as the service does, below their own base.
  if (args.Flag("--no-mirrors")) {
    if (!args.Values("--mirror").empty()) throw UsageError("--no-mirrors goes with no --mirror");
    s.mirrors.clear();
  } else if (const auto mirrors = args.Values("--mirror"); !mirrors.empty()) {
    if (mirrors.size() > site::kMirrorCount) throw UsageError("--mirror is given at most three times");
    for (const std::string& mirror : mirrors) {
      if (!http::IsHttpUrl(mirror) || !mirror.ends_with('/')) {
        throw UsageError("--mirror must be an absolute http:// or https:// URL that ends in \"/\"");
      }
    }
    s.mirrors = mirrors;
  }
  s.shortcutName = args.Required("--name");
  s.installDirName = args.Value("--install-dir").value_or(s.shortcutName);
  if (auto trace = args.Value("--trace")) s.traceTag = *trace;

  if (const auto dir = args.Value("--site-dir")) {
    if (args.Value("--key") || args.Value("--iv") || args.Value("--user") || args.Value("--password") ||
        args.Flag("--new-credentials")) {
      throw UsageError("--site-dir gives key, IV and credentials; it goes with none of the others");
    }
    SiteFolder site(*dir);
    const SiteKeys& keys = site.keys();
    s.configKey = keys.key;
    s.configIv = keys.iv;
    s.authHeaderValue = keys.AuthHeaderValue();
    if (const auto trustKeys = args.Values("--trust-key"); !trustKeys.empty()) {
      s.trust = SiteTrust(site, trustKeys);
    } else if (s.trust.Stamped()) {
      s.trust.floor = NextSerial(site);  // restamped: no lower than the site's next release
    }
  } else if (!args.Values("--trust-key").empty()) {
    throw UsageError("--trust-key goes with --site-dir, whose signed releases the box is to take");
  }

  const auto key = args.Value("--key"), iv = args.Value("--iv");
  if (key.has_value() != iv.has_value()) throw UsageError("--key and --iv go together");
  if (key) {
    s.configKey = ParseSecretOption("--key", *key);
    s.configIv = ParseSecretOption("--iv", *iv);
  }

  const auto user = args.Value("--user"), password = args.Value("--password");
  if (user.has_value() != password.has_value()) throw UsageError("--user and --password go together");
  if (user && args.Flag("--new-credentials")) throw UsageError("--new-credentials replaces --user and --password");
  if (user) {
    s.authHeaderValue =
        site::BasicAuthorization(ParseCredential("--user", *user), ParseCredential("--password", *password));
  } else if (args.Flag("--new-credentials")) {
    const std::string newUser = RandomCredential(), newPassword = RandomCredential();
    s.authHeaderValue = site::BasicAuthorization(newUser, newPassword);
    std::printf("user: %s\npassword: %s\n", newUser.c_str(), newPassword.c_str());
  }

  try {
    image.SetSettings(s);
  } catch (const std::invalid_argument& e) {
    throw UsageError(e.what());
  }
  image.Save(args.positionals()[1]);
  return 0;
}

}  // namespace tandrel::admin

#include "KeyOptions.h"

#include "SiteFolder.h"

#include "core/Hex.h"

namespace tandrel::admin {

site::Secret ParseSecretOption(const std::string& option, const std::string& text) {
  const auto bytes = FromHex(text);
  if (text.size() != 2 * site::kSecretSize || !bytes) throw UsageError(option + " must be 32 hexadecimal digits");
  site::Secret secret{};
  std::copy(bytes->begin(), bytes->end(), secret.begin());
  return secret;
}

ListKeys KeysFromOptions(const Args& args) {
  const auto key = args.Value("--key"), iv = args.Value("--iv"), box = args.Value("--site"),
             dir = args.Value("--site-dir");
  const int sources = (key || iv ? 1 : 0) + (box ? 1 : 0) + (dir ? 1 : 0);
  if (sources != 1) throw UsageError("give the key as --key HEX --iv HEX, --site BIN or --site-dir SITE");
  if (box) {
    const SiteKeys keys = KeysOfBox(*box);
    return {keys.key, keys.iv};
  }
  if (dir) {
    const SiteFolder site(*dir);
    return {site.keys().key, site.keys().iv};
  }
  if (!key || !iv) throw UsageError("--key and --iv go together");
  return {ParseSecretOption("--key", *key), ParseSecretOption("--iv", *iv)};
}

}  // namespace tandrel::admin

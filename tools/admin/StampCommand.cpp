#include "BoxImage.h"
#include "Commands.h"

#include "core/Hex.h"
#include "core/http/Url.h"

#include <algorithm>
#include <cstdio>
#include <openssl/rand.h>

namespace tandrel::admin {
namespace {

site::Secret ParseSecret(const std::string& option, const std::string& text) {
  const auto bytes = FromHex(text);
  if (text.size() != 2 * site::kSecretSize || !bytes) throw UsageError(option + " must be 32 hexadecimal digits");
  site::Secret secret{};
  std::copy(bytes->begin(), bytes->end(), secret.begin());
  return secret;
}

std::string ParseCredential(const std::string& option, const std::string& text) {
  if (text.size() != 32 || !IsLowerHex(text)) throw UsageError(option + " must be 32 lowercase hexadecimal digits");
  return text;
}

std::string RandomCredential() {
  std::uint8_t bytes[16];
  if (RAND_bytes(bytes, sizeof bytes) != 1) throw std::runtime_error("no random numbers available");
  return ToHex(bytes);
}

}  // namespace

int Stamp(const std::vector<std::string>& words) {
  const Args args(words, {"--url", "--name", "--install-dir", "--trace", "--key", "--iv", "--user", "--password"},
                  {"--new-credentials"});
  args.ExpectPositionals(2, "IN and OUT");
  BoxImage image(args.positionals()[0]);
  site::Settings s = image.Settings();

  s.serverUrl = args.Required("--url");
  if (!http::IsHttpUrl(s.serverUrl) || !s.serverUrl.ends_with('/')) {
    throw UsageError("--url must be an absolute http:// or https:// URL that ends in \"/\"");
  }
  s.shortcutName = args.Required("--name");
  s.installDirName = args.Value("--install-dir").value_or(s.shortcutName);
  if (auto trace = args.Value("--trace")) s.traceTag = *trace;

  const auto key = args.Value("--key"), iv = args.Value("--iv");
  if (key.has_value() != iv.has_value()) throw UsageError("--key and --iv go together");
  if (key) {
    s.configKey = ParseSecret("--key", *key);
    s.configIv = ParseSecret("--iv", *iv);
  }

  const auto user = args.Value("--user"), password = args.Value("--password");
  if (user.has_value() != password.has_value()) throw UsageError("--user and --password go together");
  if (user && args.Flag("--new-credentials")) throw UsageError("--new-credentials replaces --user and --password");
  if (user) {
    s.authHeaderValue = site::BasicAuthorization(ParseCredential("--user", *user), ParseCredential("--password", *password));
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

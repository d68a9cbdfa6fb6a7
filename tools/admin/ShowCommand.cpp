#include "BoxImage.h"
#include "Commands.h"

#include "core/Hex.h"
#include "core/TextCodec.h"

#include <cstdio>
#include <openssl/evp.h>

namespace tandrel::admin {
namespace {

void PrintText(const char* name, const std::string& raw) {
  const std::string_view trimmed = TrimControl(raw);
  std::printf("%-16s \"%.*s\"%s\n", name, static_cast<int>(trimmed.size()), trimmed.data(),
              trimmed.empty() ? " (space-only)" : "");
}

// The user and password inside a Basic "Authorization" value, for the service's side.
std::string Credentials(const std::string& header) {
  constexpr std::string_view kScheme = "Basic ";
  if (!header.starts_with(kScheme)) return "(not Basic)";
  const std::string encoded = header.substr(kScheme.size());
  std::string plain(encoded.size(), '\0');
  const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(plain.data()),
                                reinterpret_cast<const unsigned char*>(encoded.data()), static_cast<int>(encoded.size()));
  if (n < 0) return "(not Base64)";
  plain.resize(static_cast<std::size_t>(n));
  while (!plain.empty() && plain.back() == '\0') plain.pop_back();  // EVP_DecodeBlock keeps the padding's zeros
  const std::size_t colon = plain.find(':');
  if (colon == std::string::npos) return "(no user:password)";
  return "user " + plain.substr(0, colon) + ", password " + plain.substr(colon + 1);
}

}  // namespace

int Show(const std::vector<std::string>& words) {
  const Args args(words, {}, {});
  args.ExpectPositionals(1, "one box executable");
  const site::Settings s = BoxImage(args.positionals()[0]).Settings();
  PrintText("ServerUrl", s.serverUrl);
  PrintText("ShortcutName", s.shortcutName);
  PrintText("InstallDirName", s.installDirName);
  PrintText("TraceTag", s.traceTag);
  std::printf("%-16s %s\n", "ConfigKey", ToHex(s.configKey).c_str());
  std::printf("%-16s %s\n", "ConfigIV", ToHex(s.configIv).c_str());
  std::printf("%-16s %s (%s)\n", "Authorization", s.authHeaderValue.c_str(), Credentials(s.authHeaderValue).c_str());
  return 0;
}

}  // namespace tandrel::admin

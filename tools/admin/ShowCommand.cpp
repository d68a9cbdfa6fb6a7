#include "BoxImage.h"
#include "Commands.h"
#include "OperatorKey.h"
#include "TerminalText.h"

#include "core/trust/ReleaseRecord.h"

#include "core/Hex.h"
#include "core/TextCodec.h"

#include <cstdio>

namespace tandrel::admin {
namespace {

// A box from anywhere may carry terminal escapes in its settings: escaped.
void PrintText(const char* name, const std::string& raw) {
  const std::string trimmed = EscapeControls(TrimControl(raw));
  std::printf("%-16s \"%s\"%s\n", name, trimmed.c_str(), trimmed.empty() ? " (space-only)" : "");
}

std::string CredentialsText(const std::string& header) {
  const auto credentials = site::ParseBasicAuthorization(header);
  if (!credentials) return "not Basic user:password";
  return "user " + credentials->user + ", password " + credentials->password;
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
  std::printf("%-16s %s (%s)\n", "Authorization", EscapeControls(s.authHeaderValue).c_str(),
              EscapeControls(CredentialsText(s.authHeaderValue)).c_str());
  if (s.mirrors.empty()) std::printf("%-16s none: launchers come from the service only\n", "Mirrors");
  for (const std::string& mirror : s.mirrors) PrintText("Mirror", mirror);
  if (!s.trust.Stamped()) {
    std::printf("%-16s none: the box takes the service's files unsigned\n", "TrustKeys");
    return 0;
  }
  for (const auto& key : s.trust.keys) {
    std::printf("%-16s %s (fingerprint %s)\n", "TrustKey", PublicKeyText(key).c_str(),
                trust::KeyFingerprint(key).c_str());
  }
  std::printf("%-16s %s\n", "SiteId", ToHex(s.trust.siteId).c_str());
  std::printf("%-16s %llu\n", "Floor", static_cast<unsigned long long>(s.trust.floor));
  return 0;
}

}  // namespace tandrel::admin

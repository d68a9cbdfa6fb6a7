// keygen, sign and verify: the operator's signed releases.
#include "Commands.h"
#include "OperatorKey.h"
#include "SiteRelease.h"
#include "TerminalText.h"

#include "core/http/Url.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tandrel::admin {
namespace {

namespace fs = std::filesystem;

// A site folder is served and published: a private key has no place in one.
bool InsideSiteFolder(const fs::path& file) {
  for (fs::path folder = fs::absolute(file).parent_path(); !folder.empty(); folder = folder.parent_path()) {
    if (fs::exists(folder / "site.conf")) return true;
    if (folder == folder.root_path()) break;
  }
  return false;
}

std::string NowUtc() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
  gmtime_r(&now, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

}  // namespace

int Keygen(const std::vector<std::string>& words) {
  const Args args(words, {}, {});
  args.ExpectPositionals(1, "the private key file to make");
  const fs::path file = args.positionals()[0];
  if (InsideSiteFolder(file)) throw UsageError("the private key must be kept outside every site folder");
  const SigningKey key = SigningKey::Generate(file);
  std::printf("%s\n", PublicKeyText(key.PublicKey()).c_str());
  return 0;
}

int Sign(const std::vector<std::string>& words) {
  const Args args(words, {"--key"}, {});
  args.ExpectPositionals(1, "one site folder");
  SiteFolder site(args.positionals()[0]);
  const SigningKey key = SigningKey::Load(args.Required("--key"));
  const trust::ReleaseRecord record = SignSite(site, key, NowUtc());
  std::printf("signed %s: serial %llu, %zu launchers, key %s\n", site.Record().c_str(),
              static_cast<unsigned long long>(record.serial), record.launchers.size(), record.keyFingerprint.c_str());
  return 0;
}

int Verify(const std::vector<std::string>& words) {
  const Args args(words, {"--box"}, {});
  args.ExpectPositionals(1, "one site folder, or a service's URL with --box");
  const std::string& target = args.positionals()[0];
  const auto box = args.Value("--box");
  if (box.has_value() != http::IsHttpUrl(target))
    throw UsageError("a service's URL goes with --box BOX, a folder without");
  const std::vector<std::string> faults =
      box ? ServiceMismatches(target.ends_with('/') ? target : target + "/", *box) : SiteMismatches(SiteFolder(target));
  for (const std::string& fault : faults) std::printf("%s\n", EscapeControls(fault).c_str());
  if (faults.empty()) std::printf("%s matches its signed release\n", box ? "the service" : "the site");
  return faults.empty() ? 0 : 1;
}

}  // namespace tandrel::admin

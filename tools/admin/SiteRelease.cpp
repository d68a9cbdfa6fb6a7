#include "SiteRelease.h"

#include "BoxImage.h"
#include "ListCheck.h"

#include "core/FileIo.h"
#include "core/Hex.h"
#include "core/TextCodec.h"
#include "core/crypto.h"
#include "core/ServiceEndpoints.h"
#include "core/http/SystemClient.h"
#include "core/uGameRun.h"

#include <algorithm>
#include <stdexcept>

namespace tandrel::admin {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Read(const SiteFile& file) { return ReadWholeFile(file.OpenPath()); }

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// The serial line of a record as it stands, unverified: the operator's own file.
std::uint64_t RecordedSerial(const fs::path& record) {
  if (!fs::exists(record)) return 0;
  const std::string text = Text(ReadWholeFile(record));
  const std::size_t at = text.find("\nserial ");
  if (at == std::string::npos) return 0;
  const std::string digits = text.substr(at + 8, text.find('\n', at + 8) - at - 8);
  if (digits.empty() || digits.size() > 19 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stoull(digits);
}

site::Trust BoxTrust(const SiteFolder& site) {
  if (!fs::exists(site.Box())) throw std::runtime_error("the site has no box: " + site.Box().string());
  return BoxImage(site.Box()).Settings().trust;
}

// Each launcher the list names, checked as the box will check it.
std::map<std::string, trust::FileEntry> Launchers(const SiteFolder& site, const TConfig& list) {
  std::map<std::string, trust::FileEntry> launchers;
  for (const TBoxConfig& entry : list.ServerList()) {
    const std::string& name = entry.LauncherName;
    if (!IsSafeLauncherName(name) || EqualsIgnoringAsciiCase(name, "box")) {
      throw std::runtime_error("the launcher name \"" + name + "\" is one the box refuses");
    }
    const auto file = site.OpenLauncher(name);
    if (!file) throw std::runtime_error("the launcher " + name + " is missing");
    const std::vector<std::uint8_t> bytes = Read(*file);
    if (!DigestMatches(GetBytesMd5(bytes), entry.Md5)) {
      throw std::runtime_error("the launcher " + name + " does not match the list's Md5");
    }
    launchers[name] = trust::EntryOf(bytes);
  }
  return launchers;
}

}  // namespace

std::uint64_t NextSerial(const SiteFolder& site) {
  const std::uint64_t floor = fs::exists(site.Box()) ? BoxTrust(site).floor : 0;
  const std::uint64_t next = std::max({RecordedSerial(site.Record()), site.keys().lastSerial, floor - (floor > 0)}) + 1;
  if (next == 0 || next >= std::uint64_t{1} << 62) {
    throw std::runtime_error(
        "the site's serial is implausibly large: check release.txt, site.conf and the box's floor");
  }
  return next;
}

trust::ReleaseRecord SignSite(SiteFolder& site, const SigningKey& key, const std::string& signedAt) {
  const site::Trust stamped = BoxTrust(site);
  trust::ReleaseRecord record;
  record.keyFingerprint = trust::KeyFingerprint(key.PublicKey());
  // The box a record names trusts its signer first: signing with its standby
  // would retire the current key in every box that takes the record.
  if (trust::KeyFingerprint(stamped.keys[0]) != record.keyFingerprint) {
    throw std::runtime_error(trust::KeyFingerprint(stamped.keys[1]) != record.keyFingerprint
                                 ? "the site's box is not stamped with this key: stamp it with --trust-key first"
                                 : "this is the standby of the site's box: to rotate, stamp the box with it first "
                                   "(--trust-key STANDBY --trust-key NEW_STANDBY), then sign");
  }
  record.siteId = site.keys().siteId;
  if (record.siteId.empty() || ToHex(stamped.siteId) != record.siteId) {
    throw std::runtime_error("the site's box is stamped for another site id: stamp it with --site-dir " +
                             site.root().string());
  }
  const std::vector<std::uint8_t> list = ReadWholeFile(site.ServersJson());
  record.launchers = Launchers(site, ReadList(list));
  const auto logo = site.OpenLogo();
  const auto box = site.OpenBox();
  if (!logo || !box) throw std::runtime_error("the site needs its banner logo.png and its box");
  const std::vector<std::uint8_t> banner = Read(*logo);
  record.list = trust::EntryOf(list);
  record.banner = trust::EntryOf(banner);
  record.box = trust::EntryOf(Read(*box));
  record.serial = NextSerial(site);
  record.signedAt = signedAt;

  const std::string body = trust::RecordBody(record);
  const std::string signedRecord =
      trust::SignedRecord(body, key.Sign({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()}));
  // The copies first, the record last: a record never names files not yet there.
  EnsureFolder(site.SignedList().parent_path());
  WriteFileAtomically(site.SignedList(), list);
  WriteFileAtomically(site.SignedLogo(), banner);
  WriteFileAtomically(site.Record(),
                      std::span(reinterpret_cast<const std::uint8_t*>(signedRecord.data()), signedRecord.size()));
  SiteKeys keys = site.keys();
  keys.lastSerial = record.serial;
  site.SaveKeys(keys);
  return record;
}

std::vector<std::string> SiteMismatches(const SiteFolder& site) {
  std::vector<std::string> faults;
  const site::Trust stamped = BoxTrust(site);
  if (!site.Signed()) return {"the site has no release record: sign it"};
  const std::string text = Text(ReadWholeFile(site.Record()));
  const trust::RecordReading reading = trust::ReadRecord(text, stamped.keys);
  if (!reading.record) {
    static const char* const kWhy[] = {"is malformed", "is signed by a key the box is not stamped with",
                                       "has a signature that does not verify"};
    return {std::string("the record ") + kWhy[static_cast<int>(reading.fault)]};
  }
  const trust::ReleaseRecord& record = *reading.record;
  if (record.siteId != ToHex(stamped.siteId)) faults.push_back("the record is for another site id than the box's");
  if (record.serial < stamped.floor) faults.push_back("the record's serial is below the box's floor");
  const auto check = [&](const std::string& what, const std::optional<std::vector<std::uint8_t>>& bytes,
                         const trust::FileEntry& expected) {
    if (!bytes) faults.push_back(what + " is missing");
    else if (trust::EntryOf(*bytes) != expected) faults.push_back(what + " does not match the record");
  };
  const auto read = [](const std::optional<SiteFile>& file) {
    return file ? std::optional(Read(*file)) : std::nullopt;
  };
  const auto readPath = [](const fs::path& path) {
    return fs::exists(path) ? std::optional(ReadWholeFile(path)) : std::nullopt;
  };
  check("the signed list", readPath(site.SignedList()), record.list);
  check("the signed banner", readPath(site.SignedLogo()), record.banner);
  check("the box", read(site.OpenBox()), record.box);
  for (const auto& [name, entry] : record.launchers)
    check("the launcher " + name, read(site.OpenLauncher(name)), entry);
  return faults;
}

std::vector<std::string> ServiceMismatches(const std::string& url, const fs::path& boxFile) {
  const site::Settings settings = BoxImage(boxFile).Settings();
  if (!settings.trust.Stamped()) return {"the box is not stamped with trust keys"};
  ServiceSite service{url, settings.authHeaderValue, settings.configKey, settings.configIv, settings.trust, {}};
  http::SystemClient client;
  std::vector<std::string> faults;
  const auto get = [&](const std::string& what, const std::string& address,
                       const http::Headers& headers = {}) -> std::optional<http::Bytes> {
    try {
      http::Response answer = client.Get(address, headers);
      if (answer.status >= 200 && answer.status < 300) return std::move(answer.body);
      faults.push_back(what + " answers status " + std::to_string(answer.status));
    } catch (const http::Error& e) {
      faults.push_back(what + " failed: " + e.what());
    }
    return std::nullopt;
  };
  const auto record = get("the record", ReleaseRecordUrl(service));
  if (!record) return faults;
  const trust::RecordReading reading = trust::ReadRecord(
      std::string_view(reinterpret_cast<const char*>(record->data()), record->size()), settings.trust.keys);
  if (!reading.record) return {"the record does not verify with the box's keys"};
  const trust::ReleaseRecord& release = *reading.record;
  if (release.siteId != ToHex(settings.trust.siteId)) faults.push_back("the record is for another site than the box");
  if (release.serial < settings.trust.floor) faults.push_back("the record is older than the box's floor");
  const auto check = [&](const std::string& what, const std::optional<http::Bytes>& bytes,
                         const trust::FileEntry& expected) {
    if (bytes && trust::EntryOf(*bytes) != expected) faults.push_back(what + " does not match the record");
  };
  if (const auto list = get("the list", ServerListUrl(service), AuthorizationHeaders(service))) {
    const auto plain = DecryptServerList(*list, service.configKey, service.configIv);
    const std::uint64_t n = release.list.size;
    if (plain.size() < n || plain.size() - n > 16 ||
        trust::EntryOf(std::span(plain).first(static_cast<std::size_t>(n))) != release.list) {
      faults.push_back("the list does not match the record");
    }
  }
  check("the banner", get("the banner", BannerUrl(service)), release.banner);
  check("the box", get("the box", NewProgramUrl(service)), release.box);
  for (const auto& [name, entry] : release.launchers) {
    check("the launcher " + name, get("the launcher " + name, LauncherUrl(service, name)), entry);
  }
  return faults;
}

std::string ReleaseInputsStamp(const SiteFolder& site) {
  std::string stamp;
  const auto add = [&](const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    const auto time = fs::last_write_time(file, error);
    stamp += file.string() + " " + std::to_string(error ? 0 : size) + " " +
             std::to_string(error ? 0 : time.time_since_epoch().count()) + "\n";
  };
  for (const fs::path& file : {site.Record(), site.SignedList(), site.SignedLogo(), site.Box()}) add(file);
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(site.LaunchersDir(), error)) add(entry.path());
  return stamp;
}

}  // namespace tandrel::admin

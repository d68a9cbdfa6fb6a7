#include "ReleaseGate.h"

#include "core/Hex.h"

#include <algorithm>

namespace tandrel::trust {

ReleaseGate::ReleaseGate(const site::Trust& stamped, std::vector<std::filesystem::path> folders)
    : stamped_(stamped), siteId_(ToHex(stamped.siteId)), folders_(std::move(folders)) {
  kept_ = ReadKeptTrust(folders_, siteId_);
  for (const std::string& text : kept_.records) {
    Verdict verdict = Verdict::Refused;
    auto record = Check(text, verdict, true);
    if (record && (!current_ || record->serial > current_->serial)) {
      current_ = std::move(record);
      currentText_ = text;
    }
  }
}

std::optional<ReleaseRecord> ReleaseGate::Check(std::string_view text, Verdict& verdict, bool fromKept) const {
  std::vector<platform::P256PublicKey> keys;
  for (const auto& key : stamped_.keys) {
    if (!kept_.retired.count(KeyFingerprint(key))) keys.push_back(key);
  }
  RecordReading reading = ReadRecord(text, keys);
  verdict = Verdict::Refused;
  if (!reading.record) {
    // A retired key is no unknown one: its records are refused, not taken for news.
    const auto fingerprint = FingerprintOf(text);
    const bool retired = fingerprint && kept_.retired.count(*fingerprint);
    // Only a record for this site says the box is too old: a stranger's noise
    // must not send players off to download a box.
    if (reading.fault == RecordFault::UnknownKey && !retired && SiteIdOf(text) == siteId_) {
      verdict = Verdict::UnknownKey;
    }
    return std::nullopt;
  }
  const ReleaseRecord& record = *reading.record;
  const auto kept = kept_.serials.find(record.keyFingerprint);
  if (record.siteId != siteId_ || record.serial < stamped_.floor ||
      (kept != kept_.serials.end() && record.serial < kept->second)) {
    return std::nullopt;
  }
  // The same serial again only as the very record taken: two records may never
  // be swapped back and forth under one serial.
  const bool sameSerial = kept != kept_.serials.end() && record.serial == kept->second;
  const bool taken =
      text == currentText_ || std::find(kept_.records.begin(), kept_.records.end(), text) != kept_.records.end();
  if (sameSerial && !fromKept && !taken) return std::nullopt;
  return std::move(reading.record);
}

Verdict ReleaseGate::Offer(std::string_view text) {
  // Another box of the same site (a second start) may have kept more meanwhile:
  // its serials and retirements are never written back down.
  const KeptTrust onDisk = ReadKeptTrust(folders_, siteId_);
  for (const auto& [fingerprint, serial] : onDisk.serials) {
    kept_.serials[fingerprint] = std::max(kept_.serials[fingerprint], serial);
  }
  kept_.retired.insert(onDisk.retired.begin(), onDisk.retired.end());
  kept_.records = onDisk.records;
  Verdict verdict = Verdict::Refused;
  auto record = Check(text, verdict);
  if (!record) return verdict;
  std::uint64_t& serial = kept_.serials[record->keyFingerprint];
  serial = std::max(serial, record->serial);
  // The standby signs only once the current key is given up: from now on, and in
  // every box of the site that sees this, the current key is refused.
  if (record->keyFingerprint == KeyFingerprint(stamped_.keys[1])) {
    kept_.retired.insert(KeyFingerprint(stamped_.keys[0]));
  }
  current_ = std::move(record);
  currentText_ = text;
  WriteKeptTrust(folders_, siteId_, kept_, currentText_);
  return Verdict::Accepted;
}

const platform::P256PublicKey* ReleaseGate::SigningKey() const {
  if (!current_) return nullptr;
  for (const auto& key : stamped_.keys) {
    if (KeyFingerprint(key) == current_->keyFingerprint) return &key;
  }
  return nullptr;
}

}  // namespace tandrel::trust

#include "ReleaseRecord.h"

#include "core/FileIo.h"
#include "core/Hex.h"

#include <charconv>
#include <set>
#include <vector>

namespace tandrel::trust {
namespace {

constexpr std::string_view kSignature = "signature ";

std::string Line(std::string_view name, const FileEntry& entry) {
  return std::string(name) + " " + std::to_string(entry.size) + " " + ToHex(entry.sha256) + "\n";
}

std::optional<std::uint64_t> Number(std::string_view text) {
  std::uint64_t n = 0;
  if (text.empty() || text.size() > 20 || text.front() == '0') return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

std::optional<FileEntry> Entry(std::string_view size, std::string_view sha) {
  FileEntry entry;
  if (size == "0") entry.size = 0;
  else if (const auto n = Number(size)) entry.size = *n;
  else return std::nullopt;
  const auto bytes = FromHex(sha);
  if (!bytes || bytes->size() != entry.sha256.size() || !IsLowerHex(sha)) return std::nullopt;
  std::copy(bytes->begin(), bytes->end(), entry.sha256.begin());
  return entry;
}

// Splits a line (without its "\n") at its first count - 1 spaces.
std::vector<std::string_view> Words(std::string_view line, std::size_t count) {
  std::vector<std::string_view> words;
  while (words.size() + 1 < count) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) break;
    words.push_back(line.substr(0, space));
    line.remove_prefix(space + 1);
  }
  words.push_back(line);
  return words;
}

bool IsPrintableName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
  }
  return true;
}

// The fields of the signed body, every rule of the format held.
std::optional<ReleaseRecord> Fields(std::string_view body) {
  if (!body.starts_with(kRecordHeading)) return std::nullopt;
  body.remove_prefix(kRecordHeading.size());
  ReleaseRecord record;
  // The fields in their order; launcher lines may repeat, with names never twice.
  static constexpr std::string_view kOrder[] = {"site", "serial", "signed", "key", "list", "banner", "box"};
  std::size_t next = 0;
  while (!body.empty()) {
    const std::size_t end = body.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = body.substr(0, end);
    body.remove_prefix(end + 1);
    const std::string_view name = line.substr(0, line.find(' '));
    if (name == "launcher") {
      if (next != std::size(kOrder)) return std::nullopt;
      const auto words = Words(line, 4);
      if (words.size() != 4 || !IsPrintableName(words[3])) return std::nullopt;
      const auto entry = Entry(words[1], words[2]);
      if (!entry || !record.launchers.emplace(std::string(words[3]), *entry).second) return std::nullopt;
      continue;
    }
    if (next == std::size(kOrder) || name != kOrder[next]) return std::nullopt;  // unknown, twice or out of order
    ++next;
    if (name == "list" || name == "banner" || name == "box") {
      const auto words = Words(line, 3);
      if (words.size() != 3) return std::nullopt;
      const auto entry = Entry(words[1], words[2]);
      if (!entry) return std::nullopt;
      (name == "list" ? record.list : name == "banner" ? record.banner : record.box) = *entry;
      continue;
    }
    const auto words = Words(line, 2);
    if (words.size() != 2) return std::nullopt;
    const std::string_view value = words[1];
    if (name == "site") {
      if (value.size() != 32 || !IsLowerHex(value)) return std::nullopt;
      record.siteId = value;
    } else if (name == "serial") {
      const auto serial = Number(value);
      if (!serial) return std::nullopt;
      record.serial = *serial;
    } else if (name == "signed") {
      if (!IsPrintableName(value)) return std::nullopt;
      record.signedAt = value;
    } else {  // key
      if (value.size() != 32 || !IsLowerHex(value)) return std::nullopt;
      record.keyFingerprint = value;
    }
  }
  if (next != std::size(kOrder)) return std::nullopt;
  return record;
}

struct Split {
  std::string_view body;
  std::string_view signature;  // its Base64
};

// The record's body and its signature line: the last line, which ends the text.
std::optional<Split> SplitRecord(std::string_view text) {
  if (text.size() > kMaxRecord || !text.ends_with('\n')) return std::nullopt;
  const std::size_t lastStart = text.rfind('\n', text.size() - 2);
  const std::size_t start = lastStart == std::string_view::npos ? 0 : lastStart + 1;
  const std::string_view last = text.substr(start, text.size() - 1 - start);
  if (!last.starts_with(kSignature)) return std::nullopt;
  return Split{text.substr(0, start), last.substr(kSignature.size())};
}

}  // namespace

FileEntry EntryOf(std::span<const std::uint8_t> bytes) {
  const auto sha = platform::MakeSha256();
  sha->Update(bytes);
  return {bytes.size(), sha->Finish()};
}

FileEntry EntryOfFile(const std::filesystem::path& file) {
  const auto sha = platform::MakeSha256();
  FileEntry entry;
  ReadFileInPieces(file, 1 << 20, [&](const std::uint8_t* data, std::size_t size) {
    sha->Update({data, size});
    entry.size += size;
  });
  entry.sha256 = sha->Finish();
  return entry;
}

std::string KeyFingerprint(const platform::P256PublicKey& key) {
  const platform::Sha256Digest digest = EntryOf(key).sha256;
  return ToHex(std::span(digest).first(16));
}

std::string RecordBody(const ReleaseRecord& record) {
  std::string body(kRecordHeading);
  body += "site " + record.siteId + "\n";
  body += "serial " + std::to_string(record.serial) + "\n";
  body += "signed " + record.signedAt + "\n";
  body += "key " + record.keyFingerprint + "\n";
  body += Line("list", record.list) + Line("banner", record.banner) + Line("box", record.box);
  for (const auto& [name, entry] : record.launchers) {
    body += "launcher " + std::to_string(entry.size) + " " + ToHex(entry.sha256) + " " + name + "\n";
  }
  return body;
}

std::string SignedRecord(std::string_view body, const platform::P256Signature& signature) {
  return std::string(body) + std::string(kSignature) + platform::Base64Encode(signature) + "\n";
}

std::optional<std::string> SiteIdOf(std::string_view text) {
  if (!text.starts_with(kRecordHeading)) return std::nullopt;
  text.remove_prefix(kRecordHeading.size());
  const std::string_view line = text.substr(0, text.find('\n'));
  if (!line.starts_with("site ") || line.size() != 5 + 32) return std::nullopt;
  return std::string(line.substr(5));
}

std::optional<std::string> FingerprintOf(std::string_view text) {
  // The heading, then site, serial and signed lines, then the key line.
  if (!text.starts_with(kRecordHeading)) return std::nullopt;
  std::size_t at = kRecordHeading.size();
  for (int skip = 0; skip < 3; ++skip) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return std::nullopt;
    at = end + 1;
  }
  const std::size_t end = text.find('\n', at);
  const std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
  if (end == std::string_view::npos || !line.starts_with("key ") || line.size() != 4 + 32) return std::nullopt;
  return std::string(line.substr(4));
}

RecordReading ReadRecord(std::string_view text, std::span<const platform::P256PublicKey> keys) {
  const auto split = SplitRecord(text);
  const auto fingerprint = split ? FingerprintOf(split->body) : std::nullopt;
  const auto signature = split ? platform::Base64Decode(split->signature) : std::nullopt;
  if (!fingerprint || !signature || signature->size() != 64) return {std::nullopt, RecordFault::Malformed};
  const platform::P256PublicKey* key = nullptr;
  for (const auto& candidate : keys) {
    if (KeyFingerprint(candidate) == *fingerprint) key = &candidate;
  }
  // Unknown only when it is a well-formed record at all: anything else is noise.
  if (!key) return {std::nullopt, Fields(split->body) ? RecordFault::UnknownKey : RecordFault::Malformed};
  platform::P256Signature rs;
  std::copy(signature->begin(), signature->end(), rs.begin());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(split->body.data());
  if (!platform::VerifyP256(*key, {bytes, split->body.size()}, rs)) return {std::nullopt, RecordFault::BadSignature};
  auto record = Fields(split->body);
  if (!record) return {std::nullopt, RecordFault::Malformed};
  return {std::move(record), RecordFault::Malformed};
}

}  // namespace tandrel::trust

// The operator's signed release record: one text file that names, for one site,
// the list document, the banner, the box and every launcher by size and SHA-256,
// signed with the operator's ECDSA P-256 key. Its format, line by line (each line
// ends with "\n", each field at most once, in this order):
//
//   tandrel release 1
//   site SITE_ID                   32 lowercase hexadecimal digits
//   serial N                       decimal, 1 or more
//   signed TIME                    for people; never compared with a clock
//   key FINGERPRINT                of the signing key (KeyFingerprint)
//   list SIZE SHA256               the plain list document
//   banner SIZE SHA256
//   box SIZE SHA256
//   launcher SIZE SHA256 NAME      one per LauncherName, byte for byte
//   signature BASE64               r and s, 64 bytes, of every byte before this line
//
// Nothing may follow the signature line's end; a record is at most 64 KiB.
#pragma once

#include "platform/Crypto.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tandrel::trust {

inline constexpr std::size_t kMaxRecord = 64 * 1024;
inline constexpr std::string_view kRecordHeading = "tandrel release 1\n";

struct FileEntry {
  std::uint64_t size = 0;
  platform::Sha256Digest sha256{};
  bool operator==(const FileEntry&) const = default;
};

struct ReleaseRecord {
  std::string siteId;
  std::uint64_t serial = 0;
  std::string signedAt;
  std::string keyFingerprint;
  FileEntry list, banner, box;
  std::map<std::string, FileEntry> launchers;  // by LauncherName
};

// The size and SHA-256 of bytes, or of a file read in pieces (throws
// std::runtime_error when it cannot be read).
FileEntry EntryOf(std::span<const std::uint8_t> bytes);
FileEntry EntryOfFile(const std::filesystem::path& file);

// 32 lowercase hexadecimal digits: the first half of the SHA-256 of the key's X and Y.
std::string KeyFingerprint(const platform::P256PublicKey& key);

// The record's text up to its signature line: what the signature covers.
std::string RecordBody(const ReleaseRecord& record);
// The whole record: the body and its signature line.
std::string SignedRecord(std::string_view body, const platform::P256Signature& signature);

// Why a record was refused.
enum class RecordFault {
  Malformed,    // not a record of this format, too long, bytes after the signature, a field twice
  UnknownKey,   // well-formed, but signed by a key not given
  BadSignature  // the key given does not verify it
};

// The record's fingerprint line alone, read before anything is verified; nothing
// when there is none where the format puts it.
std::optional<std::string> FingerprintOf(std::string_view text);
// The same of the site line.
std::optional<std::string> SiteIdOf(std::string_view text);

// Verifies text with the one of keys whose fingerprint it names and reads its
// fields from the signed bytes; a fault when any rule above is broken.
struct RecordReading {
  std::optional<ReleaseRecord> record;
  RecordFault fault = RecordFault::Malformed;
};
RecordReading ReadRecord(std::string_view text, std::span<const platform::P256PublicKey> keys);

}  // namespace tandrel::trust

// A download's part file and what is kept beside it to resume it: the bytes so
// far in "<target>.part" (its length is what was received), and in
// "<target>.part.info" the URL they came from and the validator the service gave
// for them (its ETag, else its Last-Modified).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tandrel::download {

std::filesystem::path PartPath(const std::filesystem::path& target);
std::filesystem::path PartInfoPath(const std::filesystem::path& target);

struct PartInfo {
  std::string url;
  std::string validator;
  bool operator==(const PartInfo&) const = default;
};

// Nothing when there is no info, or it is not one this box wrote.
std::optional<PartInfo> ReadPartInfo(const std::filesystem::path& target);
// Throws std::runtime_error naming the file and the system's reason.
void WritePartInfo(const std::filesystem::path& target, const PartInfo& info);

// The validator to keep from an answer's head: a strong ETag, else a
// Last-Modified date; nothing when neither is there or fit to send back.
std::optional<std::string> ValidatorOf(const std::string& etag, const std::string& lastModified);

// The part file, checked, becomes the target: given its mode and renamed over
// the target; its info goes. It is not flushed to disk first: what it becomes
// is checked again before every use (a launcher before every start), so a
// power cut costs at most a new download. Throws std::runtime_error.
void CommitPart(const std::filesystem::path& target, std::filesystem::perms mode);
// Removes the part file and its info; what cannot be removed stays.
void DiscardPart(const std::filesystem::path& target);

// Part files in folder (with their info) untouched for longer than maxAge: a
// download the player never came back to.
void RemoveStaleParts(const std::filesystem::path& folder, std::chrono::hours maxAge = std::chrono::hours(24 * 7));

}  // namespace tandrel::download

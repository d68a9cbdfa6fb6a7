#include "PartSink.h"

#include "ContentRange.h"

#include "core/http/Exchange.h"
#include "core/http/TransferGuard.h"

#include <algorithm>
#include <system_error>

namespace tandrel::download {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kWriteBatch = std::size_t{1} << 20;
constexpr auto kQuietFlush = std::chrono::milliseconds(250);
// Without a length, the room is asked again after each such stretch.
constexpr std::uint64_t kRoomCheckStretch = std::uint64_t{16} << 20;

}  // namespace

PartSink::PartSink(const DownloadRequest& request, std::string url, FreeSpaceQuery freeSpace)
    : target_(request.target),
      maxSize_(request.maxSize),
      copies_(request.copies),
      sha256_(request.sha256),
      url_(std::move(url)),
      freeSpace_(std::move(freeSpace)),
      md5_(platform::MakeMd5()),
      sha_(sha256_ ? platform::MakeSha256() : nullptr) {
  // Only bytes from this very URL, with a validator to ask whether they are still current.
  std::optional<PartInfo> info = ReadPartInfo(target_);
  std::error_code error;
  const std::uintmax_t size = fs::file_size(PartPath(target_), error);
  if (info && info->url == url_ && !info->validator.empty() && !error && size > 0 && size < maxSize_) {
    kept_ = std::move(info);
    keptSize_ = size;
  }
}

http::Headers PartSink::ResumeHeaders() const {
  if (!kept_) return {};
  return {{"Range", "bytes=" + std::to_string(keptSize_) + "-"}, {"If-Range", kept_->validator}};
}

std::optional<std::uint64_t> PartSink::Begin(const http::AnswerHead& head) {
  std::uint64_t base = 0;
  std::optional<std::uint64_t> room;
  if (head.status == 206) {
    // Only the rest of the kept bytes' file, to its end, continues them.
    const auto range = ParseContentRange(head.contentRange);
    const bool continues =
        kept_ && range && range->first == keptSize_ && range->last + 1 == range->total &&
        (head.contentLength < 0 || static_cast<std::uint64_t>(head.contentLength) == range->last - range->first + 1);
    if (!continues) return Restart();
    base = keptSize_;
    total_ = range->total;
    room = freeSpace_(target_.parent_path());
  } else {
    if (head.contentLength >= 0) total_ = static_cast<std::uint64_t>(head.contentLength);
    room = RoomWithoutThePart();
  }
  if (total_ && *total_ > maxSize_) {
    Refuse(Fault::TooLarge, http::TransferGuard::TooLarge(maxSize_));
    return std::nullopt;
  }
  if (total_ && room && !EnoughRoom(*total_, base, copies_, *room)) {
    // Bytes of a file that changed are of no use: they go, and give their room back.
    if (base == 0) DiscardPart(target_);
    Refuse(Fault::NoRoom, kNoRoom);
    return std::nullopt;
  }
  try {
    // Opened first, so that no other writer changes the kept bytes while they are hashed.
    file_ = platform::OpenPartFile(PartPath(target_), target_, base);
    // Before the first byte: the bytes in a part file always belong to the validator beside it.
    if (base == 0) WritePartInfo(target_, {url_, ValidatorOf(head.etag, head.lastModified).value_or("")});
  } catch (const std::runtime_error& e) {
    file_.reset();
    std::error_code error;
    const std::uintmax_t now = fs::file_size(PartPath(target_), error);
    if (base > 0 && (error || now < base)) return Restart();  // the kept bytes went or shrank meanwhile
    Refuse(Fault::Disk, e.what());
    return std::nullopt;
  }
  // The digests start from the file's beginning: what was kept is hashed while the rest arrives.
  md5Digest_ = std::make_unique<GrowingFileDigest>(PartPath(target_), [this](auto bytes) { md5_->Update(bytes); });
  if (sha_) {
    shaDigest_ = std::make_unique<GrowingFileDigest>(PartPath(target_), [this](auto bytes) { sha_->Update(bytes); });
  }
  Wrote(base);
  size_ = base;
  roomCheckedAt_ = base;
  flushedAt_ = std::chrono::steady_clock::now();
  return base;
}

std::optional<std::uint64_t> PartSink::RoomWithoutThePart() const {
  auto room = freeSpace_(target_.parent_path());
  std::error_code error;
  const std::uintmax_t part = fs::file_size(PartPath(target_), error);
  if (room && !error) *room += part;
  return room;
}

std::optional<std::uint64_t> PartSink::Restart() {
  DiscardPart(target_);  // the next attempt asks for the whole
  Refuse(Fault::NotContinued, kNotContinued);
  return std::nullopt;
}

void PartSink::Wrote(std::uint64_t size) {
  md5Digest_->Written(size);
  if (shaDigest_) shaDigest_->Written(size);
}

bool PartSink::Write(std::span<const std::uint8_t> bytes) {
  if (!file_) return Refuse(Fault::Disk, "No part file is open");
  if (bytes.size() > maxSize_ - size_) return Refuse(Fault::TooLarge, http::TransferGuard::TooLarge(maxSize_));
  // Without a length the room was never checked: the body stops short of filling the drive.
  if (!total_ && size_ - roomCheckedAt_ >= kRoomCheckStretch) {
    roomCheckedAt_ = size_;
    if (const auto room = freeSpace_(target_.parent_path()); room && *room < kUnannouncedMargin) return NoRoomHere();
  }
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  size_ += bytes.size();
  gained_ += bytes.size();
  return pending_.size() < kWriteBatch || Flush();
}

// Transports hand over a few kilobytes at a time (libcurl 16 KiB): the file and
// its digests take them a megabyte at a time.
bool PartSink::Flush() {
  if (pending_.empty()) return true;
  try {
    file_->Write(pending_);
  } catch (const std::runtime_error& e) {
    // A write that failed on a full drive is said as one.
    const auto available = freeSpace_(target_.parent_path());
    if (available && *available < pending_.size()) return NoRoomHere();
    return Refuse(Fault::Disk, e.what());
  }
  pending_.clear();
  flushedAt_ = std::chrono::steady_clock::now();
  Wrote(size_);
  return true;
}

// A line gone quiet leaves nothing unwritten for long: a box killed then keeps
// what came.
bool PartSink::Idle() {
  if (pending_.empty() || std::chrono::steady_clock::now() - flushedAt_ < kQuietFlush) return true;
  return Flush();
}

void PartSink::Close() {
  if (file_) Flush();  // what arrived stays for the next attempt
  file_.reset();
  md5Digest_.reset();
  shaDigest_.reset();
}

// The drive filled up under the body: what arrived goes, so that the room the
// player is asked to make is not the box's own.
bool PartSink::NoRoomHere() {
  pending_.clear();
  Close();
  DiscardPart(target_);
  return Refuse(Fault::NoRoom, kNoRoom);
}

DownloadedFile PartSink::Finish() {
  if (!file_) throw std::runtime_error("No part file is open");
  if (!Flush()) throw std::runtime_error(refusal_);
  file_.reset();
  if (total_ && size_ != *total_) throw std::runtime_error(http::kCutShort);
  try {
    md5Digest_->Finish(size_);
    if (shaDigest_) shaDigest_->Finish(size_);
  } catch (const std::runtime_error&) {
    Close();
    DiscardPart(target_);  // unreadable: fetched whole the next time
    throw;
  }
  Close();  // the digests' own handles too: the caller renames or removes the file next
  return {size_, md5_->Finish(), sha_ ? std::optional(sha_->Finish()) : std::nullopt};
}

bool PartSink::Refuse(Fault fault, std::string reason) {
  fault_ = fault;
  refusal_ = std::move(reason);
  return false;
}

}  // namespace tandrel::download

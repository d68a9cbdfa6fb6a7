#include "PartSink.h"

#include "ContentRange.h"

#include "core/FileIo.h"
#include "core/http/Exchange.h"
#include "core/http/TransferGuard.h"

#include <algorithm>
#include <system_error>

namespace tandrel::download {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDigestPiece = 1 << 20;

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

std::optional<std::uint64_t> PartSink::Begin(const http::AnswerHead& head, const std::function<bool()>& cancelled) {
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
  if (base > 0) {
    try {
      if (!DigestKept(base, cancelled)) return std::nullopt;
    } catch (const std::runtime_error&) {
      file_.reset();
      return Restart();
    }
  }
  size_ = base;
  roomCheckedAt_ = base;
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

bool PartSink::DigestKept(std::uint64_t size, const std::function<bool()>& cancelled) {
  struct Cancelled {};
  std::uint64_t read = 0;
  try {
    ReadFileInPieces(PartPath(target_), kDigestPiece, [&](const std::uint8_t* data, std::size_t n) {
      if (cancelled()) throw Cancelled{};
      n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size - read));
      md5_->Update({data, n});
      if (sha_) sha_->Update({data, n});
      read += n;
    });
  } catch (const Cancelled&) {
    file_.reset();
    Refuse(Fault::None, "The request was aborted");
    return false;
  }
  if (read != size) throw std::runtime_error("The part file is shorter than when it was kept");
  return true;
}

bool PartSink::Write(std::span<const std::uint8_t> bytes) {
  if (!file_) return Refuse(Fault::Disk, "No part file is open");
  if (bytes.size() > maxSize_ - size_) return Refuse(Fault::TooLarge, http::TransferGuard::TooLarge(maxSize_));
  // Without a length the room was never checked: the body stops short of filling the drive.
  if (!total_ && size_ - roomCheckedAt_ >= kDigestPiece * 16) {
    roomCheckedAt_ = size_;
    if (const auto room = freeSpace_(target_.parent_path()); room && *room < kUnannouncedMargin) return NoRoomHere();
  }
  try {
    file_->Write(bytes);
  } catch (const std::runtime_error& e) {
    // A write that failed on a full drive is said as one.
    const auto available = freeSpace_(target_.parent_path());
    if (available && *available < bytes.size()) return NoRoomHere();
    return Refuse(Fault::Disk, e.what());
  }
  md5_->Update(bytes);
  if (sha_) sha_->Update(bytes);
  size_ += bytes.size();
  gained_ += bytes.size();
  return true;
}

// The drive filled up under the body: what arrived goes, so that the room the
// player is asked to make is not the box's own.
bool PartSink::NoRoomHere() {
  file_.reset();
  DiscardPart(target_);
  return Refuse(Fault::NoRoom, kNoRoom);
}

DownloadedFile PartSink::Finish() {
  if (total_ && size_ != *total_) throw std::runtime_error(http::kCutShort);
  if (!file_) file_ = platform::OpenPartFile(PartPath(target_), target_, 0);  // an empty body: an empty file
  file_.reset();
  return {size_, md5_->Finish(), sha_ ? std::optional(sha_->Finish()) : std::nullopt};
}

bool PartSink::Refuse(Fault fault, std::string reason) {
  fault_ = fault;
  refusal_ = std::move(reason);
  return false;
}

}  // namespace tandrel::download

#include "PartSink.h"

#include "ContentRange.h"

#include "core/FileIo.h"
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

std::optional<std::uint64_t> PartSink::Begin(const http::AnswerHead& head) {
  std::uint64_t base = 0;
  std::optional<std::uint64_t> total;
  if (head.status == 206) {
    // Only the rest of the kept bytes' file, to its end, continues them.
    const auto range = ParseContentRange(head.contentRange);
    const bool continues =
        kept_ && range && range->first == keptSize_ && range->last + 1 == range->total &&
        (head.contentLength < 0 || static_cast<std::uint64_t>(head.contentLength) == range->last - range->first + 1);
    if (!continues) return Restart();
    base = keptSize_;
    total = range->total;
  } else if (head.contentLength >= 0) {
    total = static_cast<std::uint64_t>(head.contentLength);
  }
  if (total && *total > maxSize_) {
    Refuse(Fault::TooLarge, http::TransferGuard::TooLarge(maxSize_));
    return std::nullopt;
  }
  if (const auto available = total ? freeSpace_(target_.parent_path()) : std::nullopt;
      available && !EnoughRoom(*total, base, copies_, *available)) {
    Refuse(Fault::NoRoom, kNoRoom);
    return std::nullopt;
  }
  if (base > 0) {
    try {
      DigestKept(base);
    } catch (const std::runtime_error&) {
      return Restart();
    }
  }
  try {
    file_ = platform::OpenPartFile(PartPath(target_), target_, base);
    // Before the first byte: the bytes in a part file always belong to the validator beside it.
    if (base == 0) WritePartInfo(target_, {url_, ValidatorOf(head.etag, head.lastModified).value_or("")});
  } catch (const std::runtime_error& e) {
    file_.reset();
    Refuse(Fault::Disk, e.what());
    return std::nullopt;
  }
  size_ = base;
  return base;
}

std::optional<std::uint64_t> PartSink::Restart() {
  DiscardPart(target_);  // the next attempt asks for the whole
  Refuse(Fault::NotContinued, kNotContinued);
  return std::nullopt;
}

void PartSink::DigestKept(std::uint64_t size) {
  std::uint64_t read = 0;
  ReadFileInPieces(PartPath(target_), kDigestPiece, [&](const std::uint8_t* data, std::size_t n) {
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size - read));
    md5_->Update({data, n});
    if (sha_) sha_->Update({data, n});
    read += n;
  });
  if (read != size) throw std::runtime_error("The part file is shorter than when it was kept");
}

bool PartSink::Write(std::span<const std::uint8_t> bytes) {
  if (!file_) return Refuse(Fault::Disk, "No part file is open");
  if (bytes.size() > maxSize_ - size_) return Refuse(Fault::TooLarge, http::TransferGuard::TooLarge(maxSize_));
  try {
    file_->Write(bytes);
  } catch (const std::runtime_error& e) {
    // A write that failed on a full drive is said as one.
    const auto available = freeSpace_(target_.parent_path());
    if (available && *available < bytes.size()) return Refuse(Fault::NoRoom, kNoRoom);
    return Refuse(Fault::Disk, e.what());
  }
  md5_->Update(bytes);
  if (sha_) sha_->Update(bytes);
  size_ += bytes.size();
  gained_ += bytes.size();
  return true;
}

DownloadedFile PartSink::Finish() {
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

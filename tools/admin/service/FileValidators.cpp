#include "FileValidators.h"

#include "core/Hex.h"
#include "platform/Crypto.h"

#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace tandrel::admin {
namespace {

// The SHA-256 of an open file, read through pread so no one else's position moves.
std::string Sha256OfFile(int fd) {
  const auto digest = platform::MakeSha256();
  std::vector<std::uint8_t> buffer(256 * 1024);
  off_t at = 0;
  for (;;) {
    const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), at);
    if (got < 0) throw std::runtime_error("Cannot read a file to give out");
    if (got == 0) break;
    digest->Update(std::span(buffer.data(), static_cast<std::size_t>(got)));
    at += got;
  }
  const auto sum = digest->Finish();
  return ToHex(sum);
}

}  // namespace

std::string HttpDate(std::time_t time) {
  std::tm utc{};
  ::gmtime_r(&time, &utc);
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &utc);
  return std::string(text, length);
}

Validators ValidatorCache::Of(const SiteFile& file) {
  const FileStamp stamp = StampOf(file.info());
  std::string etag;
  {
    std::lock_guard lock(mutex_);
    const auto found = known_.find({stamp.device, stamp.inode});
    if (found != known_.end() && found->second.stamp == stamp && !IsRacy(stamp)) etag = found->second.etag;
  }
  if (etag.empty()) {
    etag = '"' + Sha256OfFile(file.fd()) + '"';
    std::lock_guard lock(mutex_);
    known_[{stamp.device, stamp.inode}] = {stamp, etag};
  }
  const std::time_t modified = file.info().st_mtim.tv_sec;
  return {etag, HttpDate(modified), std::time(nullptr) - modified >= 1};
}

bool IfRangeHolds(std::string_view ifRange, const Validators& current) {
  if (ifRange.starts_with('"')) return ifRange == current.etag;  // a strong tag, compared strongly
  if (ifRange.starts_with("W/")) return false;                   // weak tags never let a range stand
  return current.dateIsStrong && ifRange == current.lastModified;
}

}  // namespace tandrel::admin

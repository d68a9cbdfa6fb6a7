#include "SiteService.h"

#include "../ListCheck.h"
#include "../TerminalText.h"
#include "FileStamp.h"
#include "FileValidators.h"
#include "HttpFront.h"

#include "core/FileIo.h"
#include "core/crypto.h"

#include <openssl/sha.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <limits>
#include <mutex>
#include <optional>

namespace tandrel::admin {
namespace {

namespace fs = std::filesystem;

std::string Sha256(std::span<const std::uint8_t> bytes) {
  std::string digest(SHA256_DIGEST_LENGTH, '\0');
  SHA256(bytes.data(), bytes.size(), reinterpret_cast<unsigned char*>(digest.data()));
  return digest;
}

// One range of a "Range: bytes=..." request against a file of `size` bytes.
struct ByteRange {
  enum class Kind { kWhole, kPart, kUnsatisfiable } kind = Kind::kWhole;
  std::uint64_t first = 0, last = 0;
};

// Digits to a number; saturates instead of wrapping. False for no digits or others.
bool ParseCount(std::string_view text, std::uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
  }
  return true;
}

std::string_view TrimSpace(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// RFC 9110, 14.2: one satisfiable range gives that part; a first position at or past
// the end (or an empty suffix, or an empty file) is unsatisfiable. Several ranges,
// or a header that is no valid byte range, are ignored: the whole file is sent.
ByteRange ParseRange(std::string_view header, std::uint64_t size) {
  header = TrimSpace(header);
  const std::size_t eq = header.find('=');
  if (eq == std::string_view::npos) return {};
  const std::string_view unit = TrimSpace(header.substr(0, eq));
  if (unit.size() != 5 ||
      !std::equal(unit.begin(), unit.end(), "bytes", [](char a, char b) { return (a | 0x20) == b; })) {
    return {};
  }
  const std::string_view wanted = TrimSpace(header.substr(eq + 1));
  if (wanted.find(',') != std::string_view::npos) return {};
  const std::size_t dash = wanted.find('-');
  if (dash == std::string_view::npos) return {};
  const std::string_view from = wanted.substr(0, dash), to = wanted.substr(dash + 1);
  ByteRange range;
  range.kind = ByteRange::Kind::kPart;
  if (from.empty()) {  // "-N": the last N bytes
    std::uint64_t count = 0;
    if (!ParseCount(to, count)) return {};
    if (count == 0 || size == 0) return {ByteRange::Kind::kUnsatisfiable};
    range.first = size - std::min(count, size);
    range.last = size - 1;
    return range;
  }
  std::uint64_t first = 0, last = 0;
  if (!ParseCount(from, first)) return {};
  if (!to.empty() && (!ParseCount(to, last) || last < first)) return {};
  if (first >= size) return {ByteRange::Kind::kUnsatisfiable};
  range.first = first;
  range.last = to.empty() ? size - 1 : std::min(last, size - 1);
  return range;
}

// Streams an opened site file, or the part a single range asks for, with its
// validators, so that a client can ask for the rest if the file is still the same.
void ServeFile(const httplib::Request& req, httplib::Response& res, std::optional<SiteFile> opened,
               const char* contentType, ValidatorCache& validators) {
  if (!opened) {
    res.status = 404;
    res.set_content("Not Found", "text/plain");
    return;
  }
  auto file = std::make_shared<SiteFile>(std::move(*opened));
  const std::uint64_t size = file->size();
  const Validators current = validators.Of(*file);
  res.set_header("Accept-Ranges", "bytes");
  res.set_header("ETag", current.etag);
  res.set_header("Last-Modified", current.lastModified);
  res.status = 200;
  std::uint64_t first = 0, length = size;
  // A range of another version than this one is no range of this file: the whole file.
  const bool rangeStands = !req.has_header("If-Range") || IfRangeHolds(req.get_header_value("If-Range"), current);
  if (req.has_header("Range") && rangeStands) {
    const ByteRange range = ParseRange(req.get_header_value("Range"), size);
    if (range.kind == ByteRange::Kind::kUnsatisfiable) {
      res.status = 416;
      res.set_header("Content-Range", "bytes */" + std::to_string(size));
      return;
    }
    if (range.kind == ByteRange::Kind::kPart) {
      res.status = 206;
      first = range.first;
      length = range.last - range.first + 1;
      res.set_header("Content-Range", "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" +
                                          std::to_string(size));
    }
  }
  if (length == 0) {
    res.set_content("", contentType);
    return;
  }
  res.set_content_provider(
      length, contentType, [file, first](std::size_t offset, std::size_t wanted, httplib::DataSink& sink) {
        char buffer[64 * 1024];
        const ssize_t got =
            ::pread(file->fd(), buffer, std::min(wanted, sizeof buffer), static_cast<off_t>(first + offset));
        return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
      });
}

}  // namespace

struct SiteService::Impl {
  SiteFolder site;
  std::string basePath;
  Log log;
  HttpFront front;
  std::string address;
  int port = 0;

  std::mutex mutex;  // guards the cached list and digest
  std::optional<FileStamp> listStamp;
  bool listRacy = false;
  std::string listDigest;  // of the servers.json last read, taken or refused
  std::string encryptedList;
  std::optional<FileStamp> boxStamp;
  bool boxRacy = false;
  std::string boxMd5;
  ValidatorCache validators;

  Impl(SiteFolder s, std::string base, Log l, const ServiceLimits& limits)
      : site(std::move(s)),
        basePath(std::move(base)),
        log([l = std::move(l)](const std::string& line) { l(EscapeControls(line)); }),
        front(limits, log) {}

  // Re-reads servers.json when it changed; keeps the last good list when the new
  // one is refused. Returns the body to send.
  std::string CurrentList() {
    std::lock_guard lock(mutex);
    const auto stamp = StampOf(site.ServedList());
    if (stamp && (stamp != listStamp || listRacy)) {
      listStamp = stamp;
      listRacy = IsRacy(*stamp);
      try {
        const auto plain = ReadWholeFile(site.ServedList());
        std::string digest = Sha256(plain);
        if (digest == listDigest) return encryptedList;  // touched, not changed
        listDigest = std::move(digest);
        const TConfig checked = ReadList(plain);
        const auto body = EncryptServerList(plain, site.keys().key, site.keys().iv);
        if (!encryptedList.empty())
          log("servers.json changed: " + std::to_string(checked.ServerList().size()) + " servers");
        encryptedList.assign(body.begin(), body.end());
      } catch (const std::exception& e) {
        if (encryptedList.empty()) throw;
        log("servers.json refused, the last good list stays: " + std::string(e.what()));
      }
    }
    return encryptedList;
  }

  // The current box's digest, or empty when the site has no box it may give out.
  std::string CurrentBoxMd5() {
    std::lock_guard lock(mutex);
    const auto box = site.OpenBox();
    if (!box) return {};
    const FileStamp stamp = StampOf(box->info());
    if (stamp != boxStamp || boxRacy) {
      boxMd5 = GetFileMd5(box->OpenPath().string());
      boxStamp = stamp;
      boxRacy = IsRacy(stamp);
    }
    return boxMd5;
  }

  bool Authorized(const httplib::Request& req, httplib::Response& res) const {
    if (req.get_header_value("Authorization") == site.keys().AuthHeaderValue()) return true;
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"Tandrel\"");
    res.set_content("Unauthorized", "text/plain");
    return false;
  }

  void Handle(const httplib::Request& req, httplib::Response& res) {
    const std::string& path = req.path;
    if (!path.starts_with(basePath)) return NotFound(res);
    const std::string rest = path.substr(basePath.size());
    if (rest.empty()) {
      if (Authorized(req, res)) res.set_content(CurrentList(), "application/octet-stream");
    } else if (rest == "getcode/") {
      if (!Authorized(req, res)) return;
      const std::string md5 = CurrentBoxMd5();
      const bool current = !md5.empty() && req.get_param_value("hash") == md5;
      res.set_content(current ? "ok" : "update", "text/plain; charset=utf-8");
    } else if (rest == "getvalue/logo.png") {
      ServeFile(req, res, site.OpenServedLogo(), "image/png", validators);
    } else if (rest == "getvalue/release.txt") {
      ServeFile(req, res, site.OpenRecord(), "text/plain; charset=utf-8", validators);
    } else if (rest == "getvalue/box.exe") {
      ServeFile(req, res, site.OpenBox(), "application/octet-stream", validators);
    } else if (rest.starts_with("getvalue/") && rest.ends_with(".exe")) {
      ServeFile(req, res, site.OpenLauncher(rest.substr(9, rest.size() - 9 - 4)), "application/octet-stream",
                validators);
    } else {
      NotFound(res);
    }
  }

  static void NotFound(httplib::Response& res) {
    res.status = 404;
    res.set_content("Not Found", "text/plain");
  }
};

SiteService::SiteService(SiteFolder site, std::string basePath, Log log, const ServiceLimits& limits)
    : impl_(std::make_unique<Impl>(std::move(site), std::move(basePath), std::move(log), limits)) {
  if (!impl_->basePath.starts_with('/') || !impl_->basePath.ends_with('/')) {
    throw std::invalid_argument("the base path must start and end with \"/\"");
  }
  impl_->CurrentList();  // refuse to start on a list the box would refuse
  httplib::Server& http = impl_->front.http();
  // Ranges are this service's to answer (ServeFile): cpp-httplib's own reckoning
  // sends a range past the end with a wrapped-around length. Everything else is
  // answered whole.
  impl_->front.SetRequestSetup([](httplib::Request& req) { req.ranges.clear(); });
  http.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    try {
      impl_->Handle(req, res);
    } catch (const std::exception& e) {
      res.status = 500;
      res.set_content("Internal Server Error", "text/plain");
      impl_->log("error: " + std::string(e.what()));
    }
  });
  http.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    impl_->log(req.remote_addr + " \"" + req.method + " " + req.target + "\" " + std::to_string(res.status) + " " +
               std::to_string(res.content_length_ ? res.content_length_ : res.body.size()));
  });
}

SiteService::~SiteService() = default;

int SiteService::Bind(const std::string& address, int port) {
  impl_->address = address;
  impl_->port = impl_->front.Bind(address, port);
  if (impl_->port <= 0) throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
  return impl_->port;
}

void SiteService::Run() { impl_->front.Run(); }

void SiteService::Stop() { impl_->front.Stop(); }

std::string SiteService::BaseUrl() const {
  const bool v6 = impl_->address.find(':') != std::string::npos;
  const std::string host = v6 ? "[" + impl_->address + "]" : impl_->address;
  return "http://" + host + ":" + std::to_string(impl_->port) + impl_->basePath;
}

}  // namespace tandrel::admin

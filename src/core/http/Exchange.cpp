#include "Exchange.h"

#include "../TextCodec.h"
#include "Url.h"
#include "platform/Memory.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace tandrel::http {

namespace {

// Decimal digits only: no sign, no blanks inside, no more than fits.
std::optional<std::uint64_t> ParseLength(std::string_view value) {
  value = TrimControl(value);
  std::uint64_t n = 0;
  if (value.empty() || value.front() < '0' || value.front() > '9') return std::nullopt;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size()) return std::nullopt;
  return n;
}

}  // namespace

std::int64_t ParseContentLength(std::string_view value) {
  const std::optional<std::uint64_t> n = ParseLength(value);
  if (!n || *n == 0 || *n > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return -1;
  return static_cast<std::int64_t>(*n);
}

long ParseStatusLine(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (!line.starts_with("HTTP/") || space == std::string_view::npos) return 0;
  const std::string_view rest = line.substr(space + 1);
  long status = 0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), status);
  if (ec != std::errc() || end - rest.data() != 3) return 0;
  return status;
}

Exchange::Exchange(const Timeouts& timeouts, std::uint64_t maxBody, bool withDeadline, TransferHooks& hooks,
                   BodySink* sink)
    : guard_(timeouts, maxBody, withDeadline, Clock::now()), hooks_(hooks), sink_(sink) {}

platform::HttpRequest Exchange::Request(const std::string& url, const Headers& headers, const Timeouts& timeouts) {
  // Within a body the trickle rule fails any silence longer than two of its
  // windows; one second more, so no read ever ends before the rule does.
  constexpr std::chrono::milliseconds kMargin(1000);
  platform::HttpRequest request{EncodeUrl(url), headers, kUserAgent};
  request.connectTimeout = timeouts.connect;
  request.maxRedirects = kMaxRedirects;
  request.silenceBeforeAnswer = timeouts.stall + kMargin;
  request.silenceInBody = std::min(timeouts.stall, 2 * timeouts.window) + kMargin;
  return request;
}

bool Exchange::HeaderLine(std::string_view line) {
  guard_.Received(line.size(), Clock::now());
  if (line.starts_with("HTTP/")) {
    // A new answer begins (after a redirect or an interim answer): forget the last.
    response_.contentType.clear();
    response_.body.clear();
    head_ = {};
    received_ = 0;
    base_ = 0;
    reported_ = 0;
    contentLength_ = -1;
    lengthHeaders_ = 0;
    declaredLength_.reset();
    transferEncoding_ = false;
    chunk_ = kChunk;
    status_ = ParseStatusLine(line);
  } else if (TrimControl(line).empty()) {
    return HeadersDone();
  } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
    const std::string_view name = TrimControl(line.substr(0, colon));
    const std::string_view value = TrimControl(line.substr(colon + 1));
    if (EqualsIgnoringAsciiCase(name, "Content-Length")) {
      contentLength_ = ParseContentLength(value);
      declaredLength_ = ++lengthHeaders_ == 1 ? ParseLength(value) : std::nullopt;
    }
    if (EqualsIgnoringAsciiCase(name, "Transfer-Encoding")) transferEncoding_ = true;
    if (EqualsIgnoringAsciiCase(name, "Content-Type")) response_.contentType.assign(value);
    if (EqualsIgnoringAsciiCase(name, "Content-Range")) head_.contentRange.assign(value);
    if (EqualsIgnoringAsciiCase(name, "ETag")) head_.etag.assign(value);
    if (EqualsIgnoringAsciiCase(name, "Last-Modified")) head_.lastModified.assign(value);
  }
  return true;
}

bool Exchange::HeadersDone() {
  if (contentLength_ > 0 && !guard_.BodyFits(static_cast<std::uint64_t>(contentLength_))) {
    return Fail(TransferGuard::TooLarge(guard_.MaxBody()));
  }
  if (!Successful()) return true;
  if (contentLength_ > 0) {
    chunk_ = std::max(kChunk, static_cast<std::size_t>(static_cast<std::uint64_t>(contentLength_) / kReportsPerBody));
  }
  if (sink_) {
    head_.status = status_;
    head_.contentLength = contentLength_;
    const std::optional<std::uint64_t> base = sink_->Begin(head_);
    if (!base) return Fail(sink_->Refusal());
    base_ = *base;
    guard_.Resumed(Clock::now());
  } else {
    response_.body.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(contentLength_, 0, kMaxReserve)));
    platform::AdviseLargeBuffer(response_.body.data(), response_.body.capacity());
  }
  reportedAt_ = Clock::now();
  return hooks_.OnBodyStart(ReportedTotal(), static_cast<std::int64_t>(base_)) || Abort();
}

bool Exchange::BodyBytes(std::span<const std::uint8_t> bytes) {
  auto& body = response_.body;
  // What follows the declared length is no part of this answer, whatever a
  // transport hands over (WinHTTP under Wine hands it).
  if (const auto length = DeclaredLength(); length && received_ + bytes.size() > *length) {
    bytes = bytes.first(static_cast<std::size_t>(*length - std::min(*length, received_)));
  }
  const auto now = Clock::now();
  guard_.Received(bytes.size(), now);
  if (!guard_.BodyFits(received_ + bytes.size())) return Fail(TransferGuard::TooLarge(guard_.MaxBody()));
  received_ += bytes.size();
  if (sink_) {
    // Another answer's body (an error page) is no part of the file.
    if (Successful() && !sink_->Write(bytes)) return Fail(sink_->Refusal());
  } else {
    if (body.size() + bytes.size() > body.capacity()) {
      // Grow as a vector would, but never past the cap: an answer stopped at the
      // cap has cost at most the cap.
      const std::uint64_t grown = std::max<std::uint64_t>(2 * body.capacity(), body.size() + bytes.size());
      body.reserve(static_cast<std::size_t>(std::min(grown, guard_.MaxBody())));
    }
    body.insert(body.end(), bytes.begin(), bytes.end());
  }
  // A chunk is what arrived since the last report: at least chunk_ bytes, or
  // whatever came within kChunkTime.
  const bool due = received_ - reported_ >= chunk_ || now - reportedAt_ >= kChunkTime;
  if (Successful() && due && !ReportChunk()) return Abort();
  return true;
}

bool Exchange::Tick(std::uint64_t sentBytes) {
  if (hooks_.Cancelled()) return Abort();
  const auto now = Clock::now();
  if (sentBytes != sent_) {
    sent_ = sentBytes;
    guard_.Sent(now);
  }
  if (auto failure = guard_.Failure(now)) return Fail(std::move(*failure));
  if (sink_ && Successful() && !sink_->Idle()) return Fail(sink_->Refusal());
  // A line that stalls after a burst still shows what came.
  if (Successful() && received_ > reported_ && now - reportedAt_ >= kChunkTime && !ReportChunk()) return Abort();
  return true;
}

Response Exchange::Finish(const platform::HttpEnd& end) {
  if (end.kind != platform::HttpEnd::Kind::Complete) throw Error(Reason(end));
  if (status_ == 0) throw Error(kNoHead);
  // A transport may take a connection closed early for the body's end: the
  // length the head declared tells.
  if (CutShort()) throw Error(kCutShort);
  if (Successful() && reported_ < received_ && !ReportChunk()) {
    aborted_ = true;  // the handler asked to stop at the last piece
    throw Error(Reason({platform::HttpEnd::Kind::Failed, {}}));
  }
  response_.status = status_;
  return std::move(response_);
}

std::optional<std::uint64_t> Exchange::DeclaredLength() const {
  const bool mayCarryBody = status_ >= 200 && status_ != 204 && status_ != 304;
  if (!mayCarryBody || transferEncoding_) return std::nullopt;
  return declaredLength_;
}

bool Exchange::CutShort() const {
  const auto length = DeclaredLength();
  return length && received_ < *length;
}

std::int64_t Exchange::ReportedTotal() const {
  return contentLength_ > 0 ? static_cast<std::int64_t>(base_) + contentLength_ : -1;
}

bool Exchange::ReportChunk() {
  reported_ = received_;
  reportedAt_ = Clock::now();
  return hooks_.OnChunk(ReportedTotal(), static_cast<std::int64_t>(base_ + reported_));
}

bool Exchange::Abort() {
  aborted_ = true;
  return false;
}

bool Exchange::Fail(std::string reason) {
  failure_ = std::move(reason);
  return false;
}

std::string Exchange::Reason(const platform::HttpEnd& end) const {
  using Kind = platform::HttpEnd::Kind;
  if (end.kind == Kind::TooManyRedirects) {
    return "Maximum number of redirections (" + std::to_string(kMaxRedirects) + ") exceeded";
  }
  if (failure_) return *failure_;
  if (end.kind == Kind::TimedOut) return kNoAnswerInTime;
  if (aborted_) return "The request was aborted";
  return end.systemText;
}

}  // namespace tandrel::http

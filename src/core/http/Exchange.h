// One GET as the core sees it, whatever transport carries it: the transport hands
// over the answer's head line by line, its body and a periodic tick; the exchange
// holds the request to its limits, reports progress in batches, assembles the
// response and words the failure.
#pragma once

#include "HttpClient.h"
#include "TransferGuard.h"
#include "platform/HttpTransport.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel::http {

inline constexpr long kMaxRedirects = 5;

// What a request tells its owner while it runs, on the thread that runs it.
class TransferHooks {
 public:
  virtual ~TransferHooks() = default;
  // Before the body of a successful answer; total is -1 when no usable length was announced.
  // received: what an earlier attempt kept, when the body continues it.
  virtual bool OnBodyStart(std::int64_t total, std::int64_t received) = 0;  // false aborts
  virtual bool OnChunk(std::int64_t total, std::int64_t received) = 0;
  virtual bool Cancelled() = 0;
};

class NoHooks final : public TransferHooks {
 public:
  bool OnBodyStart(std::int64_t, std::int64_t) override { return true; }
  bool OnChunk(std::int64_t, std::int64_t) override { return true; }
  bool Cancelled() override { return false; }
};

// The Content-Length value as a usable length, or -1 (0 included: no size to show).
std::int64_t ParseContentLength(std::string_view value);

// A short body's failure, as the transfer was cut.
inline constexpr const char* kCutShort = "The connection closed before the whole answer arrived";
inline constexpr const char* kNoHead = "The server closed the connection without an answer";

// The status code of a status line ("HTTP/1.1 404 Not Found"), or 0.
long ParseStatusLine(std::string_view line);

class Exchange final : public platform::HttpReceiver {
 public:
  using Clock = std::chrono::steady_clock;

  // A progress report goes out when a chunk arrived since the last one, or
  // kChunkTime passed (at the next piece, or at the next tick if none comes): each report is a round trip to the
  // user-interface thread, during which the transfer waits. A chunk is kChunk, or a share of the announced length when
  // that is more: finer steps of the bar than one in kReportsPerBody cost a fast transfer more than the eye gains.
  static constexpr std::size_t kChunk = 512 * 1024;
  static constexpr std::size_t kReportsPerBody = 16;
  static constexpr auto kChunkTime = std::chrono::milliseconds(100);
  // The most reserved for an announced length, whatever the cap; a body that
  // reaches it grows as a vector does.
  static constexpr std::int64_t kMaxReserve = std::int64_t{1} << 30;

  // sink: where a successful answer's body goes instead of the response; the
  // bodies of other answers are dropped.
  Exchange(const Timeouts& timeouts, std::uint64_t maxBody, bool withDeadline, TransferHooks& hooks,
           BodySink* sink = nullptr);

  // The request as a transport takes it.
  static platform::HttpRequest Request(const std::string& url, const Headers& headers, const Timeouts& timeouts);

  bool HeaderLine(std::string_view line) override;
  bool BodyBytes(std::span<const std::uint8_t> bytes) override;
  bool Tick(std::uint64_t sentBytes) override;

  // The response once the transport has ended: the last piece is always
  // reported, so the last report counts the whole body. Throws Error with the
  // reason when no response came.
  Response Finish(const platform::HttpEnd& end);

  // The room the body holds so far: what a declared length reserved.
  std::size_t BodyCapacity() const { return response_.body.capacity(); }

 private:
  bool Successful() const { return status_ >= 200 && status_ < 300; }
  // The last answer's one valid Content-Length, where it ends the body: no
  // Transfer-Encoding overrides it and the status carries a body.
  std::optional<std::uint64_t> DeclaredLength() const;
  bool CutShort() const;
  bool HeadersDone();
  bool ReportChunk();
  // The progress as the reports count it: the whole, from where the sink said this body starts.
  std::int64_t ReportedTotal() const;
  bool Abort();
  bool Fail(std::string reason);
  std::string Reason(const platform::HttpEnd& end) const;

  TransferGuard guard_;
  TransferHooks& hooks_;
  BodySink* sink_;
  Response response_;
  AnswerHead head_;  // what the sink is told
  long status_ = 0;
  std::int64_t contentLength_ = -1;
  std::uint64_t received_ = 0;  // this answer's body bytes so far
  std::uint64_t base_ = 0;      // where the sink said this body starts
  // What the last answer's head says of its body's end: its Content-Length
  // headers (the declared length when there was one valid header) and whether a
  // Transfer-Encoding, which overrides any length, was named.
  int lengthHeaders_ = 0;
  std::optional<std::uint64_t> declaredLength_;
  bool transferEncoding_ = false;
  std::size_t chunk_ = kChunk;
  std::uint64_t reported_ = 0;  // body bytes the last report counted
  Clock::time_point reportedAt_;
  std::uint64_t sent_ = 0;
  std::optional<std::string> failure_;  // a limit the request broke
  bool aborted_ = false;
};

}  // namespace tandrel::http

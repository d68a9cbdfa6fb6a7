// The box's HTTP client as the rest of the core sees it: GET only, the body taken
// as the content asked for whatever the status, failures raised as http::Error.
#pragma once

#include <optional>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tandrel::http {

inline constexpr const char* kUserAgent = "Embarcadero URI Client/1.0";

using Headers = std::vector<std::pair<std::string, std::string>>;
using Bytes = std::vector<std::uint8_t>;

struct Response {
  long status = 0;
  std::string contentType;
  Bytes body;
};

// What a successful answer's head says of its body, for a sink.
struct AnswerHead {
  long status = 0;
  std::int64_t contentLength = -1;  // -1: not announced
  std::string contentRange;
  std::string etag;
  std::string lastModified;
};

// Where a successful answer's body goes instead of Response::body, as it
// arrives, on the thread that runs the request. An abandoned request may still
// hand it a last piece before its worker ends, so its owner shares it.
class BodySink {
 public:
  virtual ~BodySink() = default;
  // Before the body of a 2xx answer: where this body starts within the whole (0,
  // or what an earlier attempt kept), or nothing to refuse the answer.
  virtual std::optional<std::uint64_t> Begin(const AnswerHead& head) = 0;
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;  // false stops the transfer
  // On the transport's regular ticks once the body has begun, arriving or not: a
  // sink that holds bytes back writes them out when the line goes quiet.
  virtual bool Idle() = 0;  // false stops the transfer
  // Why Begin or Write refused.
  virtual std::string Refusal() const = 0;
};

// No answer came: no connection, a time-out, a malformed URL, too many redirects.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Timeouts {
  std::chrono::milliseconds connect{60000};
  std::chrono::milliseconds stall{60000};  // longest time without a byte moving
  // Once the answer has begun, every window must bring at least minBytesPerWindow
  // bytes (about 68 bytes a second): a trickle that never quite stops fails like
  // a silent server.
  std::chrono::milliseconds window{15000};
  std::uint64_t minBytesPerWindow = 1024;
  // The whole of a synchronous request, which blocks the window while it runs: no
  // longer than the box waits for a silent server.
  std::chrono::milliseconds deadline{60000};
};

// No cap on the size of an answer's body.
inline constexpr std::uint64_t kAnyBodySize = UINT64_MAX;

// Runs tasks on the user-interface thread, in the order they were posted.
class Dispatcher {
 public:
  virtual ~Dispatcher() = default;
  virtual void Post(std::function<void()> task) = 0;
};

// Reports of an asynchronous GET. Each runs on the user-interface thread while the
// worker waits for it to return.
class AsyncHandler {
 public:
  virtual ~AsyncHandler() = default;
  // First before any body byte (readCount 0, or where a sink's body starts), then after each chunk; only while
  // the status is below 300. contentLength is -1 when the size is not announced.
  // Setting abort stops the transfer, which then ends with an error report.
  virtual void OnReceiveData(std::int64_t contentLength, std::int64_t readCount, bool& abort) = 0;
  virtual void OnRequestCompleted(Response response) = 0;
  virtual void OnRequestError(const std::string& message) = 0;
};

// A running asynchronous GET. Destroying it abandons the request: once the
// destructor (or Abandon) has returned, no report reaches the handler.
class AsyncRequest {
 public:
  virtual ~AsyncRequest() = default;
  virtual void Abandon() = 0;
};

class Client {
 public:
  virtual ~Client() = default;
  // Blocks until the whole reply is in, within the deadline. Throws Error when no
  // reply came, or when its body would be larger than maxBody (receiving stops there).
  virtual Response Get(const std::string& url, const Headers& headers = {}, std::uint64_t maxBody = kAnyBodySize) = 0;
  // Returns at once; exactly one completion or error report follows unless the
  // request is abandoned first. No deadline: the player watches and can cancel.
  // With a sink, a successful answer's body goes there, and the progress reports
  // count the whole from where the sink said this body starts.
  virtual std::unique_ptr<AsyncRequest> GetAsync(const std::string& url, const Headers& headers, AsyncHandler& handler,
                                                 std::uint64_t maxBody = kAnyBodySize,
                                                 std::shared_ptr<BodySink> sink = nullptr) = 0;
};

}  // namespace tandrel::http

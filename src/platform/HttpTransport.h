// What carries the bytes of an HTTP GET. The rules of a request (limits,
// progress reports, failure messages, what makes up the response) are the core's:
// a transport only moves bytes, hands over what arrives and stops when told.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandrel::platform {

struct HttpRequest {
  std::string url;  // already encoded
  std::vector<std::pair<std::string, std::string>> headers;
  std::string userAgent;
  std::chrono::milliseconds connectTimeout{60000};
  // The longest silence the request's rules let pass, before the answer and within
  // its body. The receiver's stop ends a request; a transport whose stop cannot cut
  // a read that is already waiting (WinHTTP under Wine) bounds each read by these,
  // so that a given-up request lets its connection go soon after.
  std::chrono::milliseconds silenceBeforeAnswer{60000};
  std::chrono::milliseconds silenceInBody{60000};
  long maxRedirects = 5;  // redirects to http and https only, never to another scheme
};

// Where a transport hands what arrives, on the thread that runs the request. Each
// call returns false to stop the transfer at once.
class HttpReceiver {
 public:
  virtual ~HttpReceiver() = default;
  // Every line of every answer's head as it came, line ends included: the status
  // line first, an empty line last. After a redirect or an interim answer the next
  // answer's status line follows.
  virtual bool HeaderLine(std::string_view line) = 0;
  // Bytes of the body, undone from any transfer encoding.
  virtual bool BodyBytes(std::span<const std::uint8_t> bytes) = 0;
  // At least once a second while the request runs, whether or not bytes move;
  // sentBytes counts the bytes of the request sent so far.
  virtual bool Tick(std::uint64_t sentBytes) = 0;
};

struct HttpEnd {
  enum class Kind {
    Complete,          // the last answer is whole
    TooManyRedirects,  // more than maxRedirects
    TimedOut,          // no connection within connectTimeout
    Failed,            // anything else, the receiver's stop included
  };
  Kind kind = Kind::Failed;
  std::string systemText;  // the system's words for a failure
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // Runs one GET to its end on the calling thread. Several may run at once on
  // different threads; they share the transport's cookies.
  virtual HttpEnd Get(const HttpRequest& request, HttpReceiver& receiver) = 0;
};

// How a transport checks the servers it talks to.
struct TransportOptions {
  // Empty: the system's trust store. Otherwise a PEM file of the only
  // authorities trusted (tests hand their own); checks are never turned off.
  std::string caFile;
};

// The system's transport, with cookies of its own.
std::unique_ptr<HttpTransport> MakeHttpTransport(const TransportOptions& options = {});

}  // namespace tandrel::platform

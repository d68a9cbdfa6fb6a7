// The box's HTTP client on the system's transport (libcurl on Linux, WinHTTP on Windows). One client
// keeps its cookies across all of its requests; asynchronous requests run on
// worker threads of their own.
#pragma once

#include "HttpClient.h"
#include "platform/HttpTransport.h"

#include <memory>

namespace tandrel::http {

class SystemClient final : public Client {
 public:
  // The dispatcher is needed only for asynchronous requests; it must outlive the client.
  explicit SystemClient(Dispatcher* dispatcher = nullptr, const platform::TransportOptions& options = {});
  // Abandons the requests still running and waits for their workers to end.
  ~SystemClient() override;
  SystemClient(const SystemClient&) = delete;
  SystemClient& operator=(const SystemClient&) = delete;

  // Shorter time-outs let tests see a stalled server fail quickly.
  void SetTimeouts(Timeouts timeouts);

  Response Get(const std::string& url, const Headers& headers = {}, std::uint64_t maxBody = kAnyBodySize) override;
  std::unique_ptr<AsyncRequest> GetAsync(const std::string& url, const Headers& headers, AsyncHandler& handler,
                                         std::uint64_t maxBody = kAnyBodySize,
                                         std::shared_ptr<BodySink> sink = nullptr) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tandrel::http

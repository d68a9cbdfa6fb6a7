// An HTTP server on 127.0.0.1 for tests: a free port of its own, routes set up by
// the test, and a hard time limit after which it stops by itself.
#pragma once

#include "Watchdog.h"

#include <httplib.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace tandrel::test {

class LoopbackServer {
 public:
  explicit LoopbackServer(const std::function<void(httplib::Server&)>& routes,
                          std::chrono::seconds limit = std::chrono::seconds(60));
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by path.
  std::string Url(const std::string& path = "/") const;

  // Handlers that hold a connection open wait on this; it returns true once the
  // server is stopping, so no handler outlives the test.
  bool WaitForStop(std::chrono::milliseconds timeout) { return watchdog_->WaitForStop(timeout); }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread listener_;
  std::optional<Watchdog> watchdog_;
};

}  // namespace tandrel::test

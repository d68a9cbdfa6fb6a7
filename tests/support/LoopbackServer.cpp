#include "LoopbackServer.h"

#include <stdexcept>

namespace tandrel::test {

LoopbackServer::LoopbackServer(const std::function<void(httplib::Server&)>& routes, std::chrono::seconds limit) {
  routes(server_);
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
  listener_ = std::thread([this] { server_.listen_after_bind(); });
  // stop() does nothing until the server runs: wait for that, or the end could hang.
  for (int waited = 0; !server_.is_running(); ++waited) {
    if (waited > 5000) throw std::runtime_error("the loopback server did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  watchdog_.emplace(limit, [this] { server_.stop(); });
}

LoopbackServer::~LoopbackServer() {
  watchdog_.reset();
  listener_.join();
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace tandrel::test

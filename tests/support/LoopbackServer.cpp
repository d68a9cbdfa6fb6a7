#include "LoopbackServer.h"

#include "RawAnswerServer.h"
#include "TestAuthority.h"
#include "Watchdog.h"
#include "routes/RouteSets.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <unistd.h>
#include <stdexcept>
#include <thread>

namespace tandrel::test {

// The route set "raw-answers" is a RawAnswerServer; every other is served by
// cpp-httplib.
class LoopbackServer::Impl {
 public:
  Impl(const std::string& routes, std::chrono::seconds limit)
      : context_([this](std::chrono::milliseconds timeout) { return watchdog_->WaitForStop(timeout); }) {
    if (routes == "raw-answers") {
      raw_.emplace(context_);
      port_ = raw_->port();
      watchdog_.emplace(limit, [this] { raw_->Stop(); });
      return;
    }
    server_ = MakeServer(routes);
    AddRouteSet(routes.starts_with("tls-") ? routes.substr(4) : routes, *server_, context_);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    watchdog_.emplace(limit, [this] { server_->stop(); });
    listener_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing until the server runs: wait for that, or the end could hang.
    for (int waited = 0; !server_->is_running(); ++waited) {
      if (waited > 5000) throw std::runtime_error("the loopback server did not start");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  ~Impl() {
    watchdog_.reset();
    if (listener_.joinable()) listener_.join();
    std::error_code ignored;
    if (!certificates_.empty()) std::filesystem::remove_all(certificates_, ignored);
  }

  int port() const { return port_; }
  RouteContext& context() { return context_; }

 private:
  // "tls-" before a set's name: over TLS, with a certificate for 127.0.0.1 from an
  // authority made for this server alone, which no client trusts.
  std::unique_ptr<httplib::Server> MakeServer(const std::string& routes) {
    if (!routes.starts_with("tls-")) return std::make_unique<httplib::Server>();
    certificates_ = std::filesystem::temp_directory_path() /
                    ("tandrel-tls-" + std::to_string(::getpid()) + "-" + std::to_string(++serverCount_));
    std::filesystem::create_directories(certificates_);
    const IssuedCertificate issued = TestAuthority(certificates_).Issue("127.0.0.1", "server");
    return std::make_unique<httplib::SSLServer>(issued.certificate.c_str(), issued.key.c_str());
  }

  static inline std::atomic<int> serverCount_{0};
  std::filesystem::path certificates_;
  std::unique_ptr<httplib::Server> server_;
  RouteContext context_;
  std::optional<RawAnswerServer> raw_;
  int port_ = 0;
  std::optional<Watchdog> watchdog_;
  std::thread listener_;
};

LoopbackServer::LoopbackServer(const std::string& routes, std::chrono::seconds limit)
    : impl_(std::make_unique<Impl>(routes, limit)) {}

LoopbackServer::~LoopbackServer() = default;

int LoopbackServer::port() const { return impl_->port(); }

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port()) + path;
}

void LoopbackServer::Set(const std::string& name, const std::string& value) { impl_->context().Set(name, value); }

std::string LoopbackServer::Get(const std::string& name) { return impl_->context().Get(name); }

std::string LoopbackServer::Take(const std::string& name) { return impl_->context().Take(name); }

std::string UnreachableUrl(const std::string& path) { return LoopbackServer("none").Url(path); }

}  // namespace tandrel::test

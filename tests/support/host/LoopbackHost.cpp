// The loopback host: runs loopback servers for test programs that cannot run one
// themselves (Windows programs under Wine), on their request over loopback.
//
//   loopback_host PORT_FILE LIMIT_SECONDS
//
// It writes its control port to PORT_FILE once it listens and ends after
// LIMIT_SECONDS at the latest, or on POST /quit. Control requests:
//   POST   /servers?routes=NAME&limit=SECONDS   a new server; answers its port
//   POST   /servers/PORT/values/NAME            sets a value to the request's body
//   GET    /servers/PORT/values/NAME[?take=1]   a value (emptied with take)
//   DELETE /servers/PORT                        stops the server
#include "LoopbackServer.h"
#include "Watchdog.h"

#include <httplib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using tandrel::test::LoopbackServer;

class Host {
 public:
  void Routes(httplib::Server& control) {
    control.Post("/servers", [this](const httplib::Request& req, httplib::Response& res) {
      const auto limit = std::chrono::seconds(std::stoi(req.get_param_value("limit")));
      auto server = std::make_unique<LoopbackServer>(req.get_param_value("routes"), limit);
      const int port = server->port();
      std::lock_guard lock(mutex_);
      servers_[port] = std::move(server);
      res.set_content(std::to_string(port), "text/plain");
    });
    control.Post(R"(/servers/(\d+)/values/([\w-]+))", [this](const httplib::Request& req, httplib::Response& res) {
      With(req, res, [&](LoopbackServer& server) { server.Set(req.matches[2], req.body); });
    });
    control.Get(R"(/servers/(\d+)/values/([\w-]+))", [this](const httplib::Request& req, httplib::Response& res) {
      With(req, res, [&](LoopbackServer& server) {
        const bool take = req.get_param_value("take") == "1";
        res.set_content(take ? server.Take(req.matches[2]) : server.Get(req.matches[2]), "application/octet-stream");
      });
    });
    control.Delete(R"(/servers/(\d+))", [this](const httplib::Request& req, httplib::Response&) {
      std::lock_guard lock(mutex_);
      const auto it = servers_.find(std::stoi(req.matches[1]));
      if (it == servers_.end()) return;
      // Stopping waits for the connections a client kept open to time out: the
      // test that asked goes on meanwhile.
      std::thread([stopped = std::move(it->second)]() mutable { stopped.reset(); }).detach();
      servers_.erase(it);
    });
    control.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr failure) {
      res.status = 500;
      try {
        std::rethrow_exception(failure);
      } catch (const std::exception& e) {
        res.set_content(e.what(), "text/plain");
      }
    });
  }

 private:
  template <typename Use>
  void With(const httplib::Request& req, httplib::Response& res, Use use) {
    std::lock_guard lock(mutex_);
    const auto it = servers_.find(std::stoi(req.matches[1]));
    if (it == servers_.end()) {
      res.status = 404;
      res.set_content("no server on that port", "text/plain");
      return;
    }
    use(*it->second);
  }

  std::mutex mutex_;
  std::map<int, std::unique_ptr<LoopbackServer>> servers_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: loopback_host PORT_FILE LIMIT_SECONDS\n");
    return 2;
  }
  const std::filesystem::path portFile = argv[1];
  httplib::Server control;
  Host host;
  host.Routes(control);
  // Stopped after the answer is out, so whoever asked is not left waiting.
  std::once_flag quitting;
  std::thread stopper;
  control.Post("/quit", [&](const httplib::Request&, httplib::Response&) {
    std::call_once(quitting, [&] { stopper = std::thread([&control] { control.stop(); }); });
  });
  const int port = control.bind_to_any_port("127.0.0.1");
  if (port <= 0) {
    std::fprintf(stderr, "loopback_host: cannot bind a loopback port\n");
    return 1;
  }
  // Whole or not at all: the test driver reads the file as soon as it appears.
  const std::filesystem::path part = portFile.string() + ".part";
  std::ofstream(part) << port << "\n";
  std::filesystem::rename(part, portFile);
  tandrel::test::Watchdog limit(std::chrono::seconds(std::stoi(argv[2])), [&control] { control.stop(); });
  control.listen_after_bind();
  if (stopper.joinable()) stopper.join();
  std::error_code ignored;
  std::filesystem::remove(portFile, ignored);
  return 0;
}

#include "DownloadRoutes.h"

#include <algorithm>
#include <string>

namespace tandrel::test {

void AddDownloadRoutes(httplib::Server& s, LoopbackServer* const& server, std::chrono::milliseconds pause) {
  s.Get(R"(/(sized|unsized)/(\d+))", [&server, pause](const httplib::Request& req, httplib::Response& res) {
    const std::size_t size = std::stoul(req.matches[2]);
    const auto piece = [&server, pause, size](std::size_t offset, httplib::DataSink& sink) {
      if (server->WaitForStop(pause)) return false;
      const std::string bytes(std::min<std::size_t>(65536, size - offset), 'L');
      return sink.write(bytes.data(), bytes.size());
    };
    if (req.matches[1] == "sized") {
      res.set_content_provider(
          size, "application/octet-stream",
          [piece](std::size_t offset, std::size_t, httplib::DataSink& sink) { return piece(offset, sink); });
    } else {
      res.set_chunked_content_provider("application/octet-stream",
                                       [piece, size](std::size_t offset, httplib::DataSink& sink) {
                                         if (offset >= size) {
                                           sink.done();
                                           return true;
                                         }
                                         return piece(offset, sink);
                                       });
    }
  });
  s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("<html>not here</html>", "text/html");
  });
  s.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
  s.Get("/held", [&server](const httplib::Request&, httplib::Response& res) {
    server->WaitForStop(std::chrono::minutes(1));  // answers only when the test is over
    res.set_content("", "text/plain");
  });
}

}  // namespace tandrel::test

// A launcher service for the download dialog's tests: bodies of any size sent in
// 64 KiB pieces with or without a length, each piece after a pause (the value
// "pause-ms", 2 unless set), so the dialog shows the transfer as it goes; a 404
// page, an empty body, and an answer held until the test ends.
#include "RouteSets.h"

#include <algorithm>
#include <string>

namespace tandrel::test {

void DownloadRoutes(httplib::Server& s, RouteContext& context) {
  s.Get(R"(/(sized|unsized)/(\d+))", [&context](const httplib::Request& req, httplib::Response& res) {
    const std::size_t size = std::stoul(req.matches[2]);
    const auto pause = std::chrono::milliseconds(std::stoul(context.Get("pause-ms", "2")));
    const auto piece = [&context, pause, size](std::size_t offset, httplib::DataSink& sink) {
      if (context.WaitForStop(pause)) return false;
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
  s.Get("/held", [&context](const httplib::Request&, httplib::Response& res) {
    context.WaitForStop(std::chrono::minutes(1));  // answers only when the test is over
    res.set_content("", "text/plain");
  });
}

}  // namespace tandrel::test

// What the HTTP client's tests ask of a server: headers and paths echoed, redirects, cookies,
// error pages, bodies of any size with and without a length, and answers that
// stall, trickle or never end.
#include "PatternBody.h"
#include "RouteSets.h"

namespace tandrel::test {

using namespace std::chrono_literals;

void HttpClientRoutes(httplib::Server& s, RouteContext& context) {
  s.Get("/headers", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content("UA=" + req.get_header_value("User-Agent") + "\nAUTH=" + req.get_header_value("Authorization") +
                        "\nHAS_AUTH=" + (req.has_header("Authorization") ? "1" : "0"),
                    "text/plain");
  });
  s.Get(R"(/redirect/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    const int left = std::stoi(req.matches[1]);
    if (left == 0) res.set_content("arrived", "text/plain");
    else res.set_redirect("/redirect/" + std::to_string(left - 1));
  });
  // /redirect-to/PORT/PATH: to PATH on the loopback server at PORT.
  s.Get(R"(/redirect-to/(\d+)/(.*))", [](const httplib::Request& req, httplib::Response& res) {
    res.set_redirect("http://127.0.0.1:" + std::string(req.matches[1]) + "/" + std::string(req.matches[2]));
  });
  s.Get("/to-file", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("file:///etc/hostname"); });
  s.Get("/set-cookie", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "session=s3cr3t; Path=/");
    res.set_content("set", "text/plain");
  });
  s.Get("/echo-cookie", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.get_header_value("Cookie"), "text/plain");
  });
  s.Get(R"(/seen/.*)", [&context](const httplib::Request& req, httplib::Response& res) {
    context.Set("target", req.target);
    res.set_content("x", "text/plain");
  });
  s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("<html>not here</html>", "text/html");
  });
  s.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
  s.Get("/stall", [&context](const httplib::Request&, httplib::Response& res) {
    context.WaitForStop(10s);  // says nothing until the test ends
    res.set_content("too late", "text/plain");
  });
  s.Get(R"(/sized/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    const std::size_t size = std::stoul(req.matches[1]);
    res.set_content_provider(size, "application/octet-stream",
                             [size](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               const std::string piece = PatternBody(size).substr(offset, 16384);
                               return sink.write(piece.data(), piece.size());
                             });
  });
  s.Get(R"(/unsized/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    const std::size_t size = std::stoul(req.matches[1]);
    res.set_chunked_content_provider("application/octet-stream", [size](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= size) {
        sink.done();
        return true;
      }
      const std::string piece = PatternBody(size).substr(offset, 16384);
      return sink.write(piece.data(), piece.size());
    });
  });
  // Bytes every few milliseconds, each piece after a pause: /drip/PIECE/PAUSE_MS/COUNT
  // (COUNT 0: endless, with no length announced).
  s.Get(R"(/drip/(\d+)/(\d+)/(\d+))", [&context](const httplib::Request& req, httplib::Response& res) {
    const std::size_t piece = std::stoul(req.matches[1]), count = std::stoul(req.matches[3]);
    const auto pause = std::chrono::milliseconds(std::stoul(req.matches[2]));
    res.set_chunked_content_provider("application/octet-stream",
                                     [&context, piece, pause, count](std::size_t offset, httplib::DataSink& sink) {
                                       if (count && offset >= piece * count) {
                                         sink.done();
                                         return true;
                                       }
                                       if (context.WaitForStop(pause)) return false;
                                       const std::string bytes(piece, 'd');
                                       return sink.write(bytes.data(), bytes.size());
                                     });
  });
  // Endless and slow, until the client goes away or the server stops.
  s.Get("/endless", [&context](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(std::size_t{1} << 32, "application/octet-stream",
                             [&context](std::size_t, std::size_t, httplib::DataSink& sink) {
                               if (context.WaitForStop(5ms)) return false;
                               const std::string piece(8192, 'x');
                               return sink.write(piece.data(), piece.size());
                             });
  });
  // A body made on the server for the dispatcher's tests, large enough for several progress reports.
  s.Get("/file",
        [](const httplib::Request&, httplib::Response& res) { res.set_content(std::string(200000, 'x'), "x/y"); });
}

}  // namespace tandrel::test

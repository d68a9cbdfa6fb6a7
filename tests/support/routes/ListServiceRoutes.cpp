// A list service: "/box/" answers the value "list" with the status "list-status"
// to a request with the Authorization "authorization", and 401 to any other;
// "/huge/" sends a list far larger than any honest one, made as it is sent; the
// banner is answered only to a request without Authorization.
#include "RouteSets.h"

namespace tandrel::test {

constexpr std::size_t kHugeBody = std::size_t{256} << 20;

void ListServiceRoutes(httplib::Server& s, RouteContext& context) {
  s.Get("/box/", [&context](const httplib::Request& req, httplib::Response& res) {
    if (req.get_header_value("Authorization") != context.Get("authorization")) {
      res.status = 401;
      return;
    }
    res.status = std::stoi(context.Get("list-status", "200"));
    res.set_content(context.Get("list"), "application/octet-stream");
  });
  s.Get("/huge/", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream", [](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= kHugeBody) {
        sink.done();
        return true;
      }
      const std::string piece(1 << 20, 'h');
      return sink.write(piece.data(), piece.size());
    });
  });
  s.Get("/box/getvalue/logo.png", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.has_header("Authorization") ? "unexpected" : "\x89PNG banner", "image/png");
  });
}

}  // namespace tandrel::test

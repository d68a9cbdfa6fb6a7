// The whole service of one box under "/box/": the list (the value "list", to the
// Authorization "authorization" only), the banner (the value "banner") and the
// launchers (the value "launcher"). The list and banner requests are recorded as
// lines of "log", in the order they arrive.
#include "RouteSets.h"

namespace tandrel::test {

void BoxServiceRoutes(httplib::Server& s, RouteContext& context) {
  s.Get("/box/", [&context](const httplib::Request& req, httplib::Response& res) {
    context.AddLine("log", "GET list");
    if (req.get_header_value("Authorization") != context.Get("authorization")) res.status = 401;
    else res.set_content(context.Get("list"), "application/octet-stream");
  });
  s.Get("/box/getvalue/logo.png", [&context](const httplib::Request&, httplib::Response& res) {
    context.AddLine("log", "GET banner");
    res.set_content(context.Get("banner"), "image/png");
  });
  s.Get(R"(/box/getvalue/(\w+)\.exe)", [&context](const httplib::Request&, httplib::Response& res) {
    res.set_content(context.Get("launcher"), "application/octet-stream");
  });
}

}  // namespace tandrel::test

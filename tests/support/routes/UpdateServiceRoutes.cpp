// The update check and the new box: "/getcode/" records the hash and the
// Authorization it was sent and answers the value "answer" ("ok" unless set);
// "/getvalue/box.exe" answers the value "new-box" with the status "new-box-status".
#include "RouteSets.h"

namespace tandrel::test {

void UpdateServiceRoutes(httplib::Server& s, RouteContext& context) {
  s.Get("/getcode/", [&context](const httplib::Request& req, httplib::Response& res) {
    context.Set("hash", req.get_param_value("hash"));
    context.Set("authorization", req.get_header_value("Authorization"));
    res.set_content(context.Get("answer", "ok"), "text/plain");
  });
  s.Get("/getvalue/box.exe", [&context](const httplib::Request&, httplib::Response& res) {
    res.status = std::stoi(context.Get("new-box-status", "200"));
    res.set_content(context.Get("new-box"), "application/octet-stream");
  });
}

}  // namespace tandrel::test

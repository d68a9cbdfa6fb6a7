// The update check and the new box: "/getcode/" records the hash and the
// Authorization it was sent and answers the value "answer" ("ok" unless set);
// "/getvalue/box.exe" answers the value "new-box" with the status "new-box-status";
// with "new-box-cut" set, the connection closes half-way through it.
#include "CutBody.h"
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
    const std::string box = context.Get("new-box");
    if (context.Get("new-box-cut").empty()) return res.set_content(box, "application/octet-stream");
    AnswerCutHalfway(res, box, "application/octet-stream");
  });
}

}  // namespace tandrel::test

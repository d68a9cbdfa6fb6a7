// Launchers: "/getvalue/NAME.exe" answers the value "launcher" as a file, with
// the faults of ResumableFile.h (cut half-way, every time, with "launcher-cut"
// set), and a 404 page for the name "missing".
#include "CutBody.h"
#include "ResumableFile.h"
#include "RouteSets.h"

namespace tandrel::test {

void LauncherServiceRoutes(httplib::Server& s, RouteContext& context) {
  s.Get(R"(/getvalue/(.+)\.exe)", [&context](const httplib::Request& req, httplib::Response& res) {
    if (req.matches[1] == "missing") {
      res.status = 404;
      res.set_content("<html>404</html>", "text/html");
    } else if (!context.Get("launcher-cut").empty()) {
      AnswerCutHalfway(res, context.Get("launcher"), "application/octet-stream");
    } else {
      AnswerResumable(req, res, context, context.Get("launcher"));
    }
  });
}

}  // namespace tandrel::test

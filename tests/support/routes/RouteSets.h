// The route sets a loopback server can serve, by name, and what they share with
// the test that started the server.
#pragma once

#include <httplib.h>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace tandrel::test {

class RouteContext {
 public:
  explicit RouteContext(std::function<bool(std::chrono::milliseconds)> waitForStop)
      : waitForStop_(std::move(waitForStop)) {}

  // Handlers that hold a connection open wait on this; it returns true once the
  // server is stopping, so no handler outlives the test.
  bool WaitForStop(std::chrono::milliseconds timeout) const { return waitForStop_(timeout); }

  void Set(const std::string& name, const std::string& value);
  // The value set under name, or fallback when none was.
  std::string Get(const std::string& name, const std::string& fallback = "");
  // Adds a line to what was recorded under name.
  void AddLine(const std::string& name, const std::string& line);
  // The value, emptied.
  std::string Take(const std::string& name);

 private:
  std::function<bool(std::chrono::milliseconds)> waitForStop_;
  std::mutex mutex_;
  std::map<std::string, std::string> values_;
};

// Adds the routes of the named set; throws std::invalid_argument for a name no
// set has.
void AddRouteSet(const std::string& name, httplib::Server& server, RouteContext& context);

// The sets, each in a file of its own.
void HttpClientRoutes(httplib::Server& s, RouteContext& context);
void DownloadRoutes(httplib::Server& s, RouteContext& context);
void UpdateServiceRoutes(httplib::Server& s, RouteContext& context);
void ListServiceRoutes(httplib::Server& s, RouteContext& context);
void LauncherServiceRoutes(httplib::Server& s, RouteContext& context);
void BoxServiceRoutes(httplib::Server& s, RouteContext& context);
void SigningRoutes(httplib::Server& s, RouteContext& context);

}  // namespace tandrel::test

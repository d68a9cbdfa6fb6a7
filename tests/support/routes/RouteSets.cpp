#include "RouteSets.h"

#include <stdexcept>
#include <utility>

namespace tandrel::test {

void RouteContext::Set(const std::string& name, const std::string& value) {
  std::lock_guard lock(mutex_);
  values_[name] = value;
}

std::string RouteContext::Get(const std::string& name, const std::string& fallback) {
  std::lock_guard lock(mutex_);
  const auto it = values_.find(name);
  return it == values_.end() ? fallback : it->second;
}

void RouteContext::AddLine(const std::string& name, const std::string& line) {
  std::lock_guard lock(mutex_);
  values_[name] += line + "\n";
}

std::string RouteContext::Take(const std::string& name) {
  std::lock_guard lock(mutex_);
  return std::exchange(values_[name], {});
}

void AddRouteSet(const std::string& name, httplib::Server& server, RouteContext& context) {
  using Set = void (*)(httplib::Server&, RouteContext&);
  static const std::map<std::string, Set> sets = {
      {"none", [](httplib::Server&, RouteContext&) {}},
      {"http-client", HttpClientRoutes},
      {"download", DownloadRoutes},
      {"update-service", UpdateServiceRoutes},
      {"list-service", ListServiceRoutes},
      {"launcher-service", LauncherServiceRoutes},
      {"box-service", BoxServiceRoutes},
      {"signing", SigningRoutes},
  };
  const auto it = sets.find(name);
  if (it == sets.end()) throw std::invalid_argument("no route set named " + name);
  it->second(server, context);
}

}  // namespace tandrel::test

// Signing for the tests of the box's side of signed releases on both homes (the
// Windows box has no signer): three keys are made for each server, "current",
// "standby" and "stranger". "/keys" answers their public keys, one a line, in that
// order; "/signed/KEY" answers the value "to-sign" followed by its signature line.
#include "RouteSets.h"

#include "OperatorKey.h"
#include "core/trust/ReleaseRecord.h"

#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

namespace tandrel::test {

void SigningRoutes(httplib::Server& s, RouteContext& context) {
  auto keys = std::make_shared<std::map<std::string, admin::SigningKey>>();
  for (const char* name : {"current", "standby", "stranger"}) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("tandrel-signing-" + std::to_string(::getpid()) + "-" + name + "-" +
                       std::to_string(reinterpret_cast<std::uintptr_t>(keys.get())) + ".pem");
    keys->emplace(name, admin::SigningKey::Generate(file));
    std::filesystem::remove(file);
  }
  s.Get("/keys", [keys](const httplib::Request&, httplib::Response& res) {
    std::string text;
    for (const char* name : {"current", "standby", "stranger"})
      text += admin::PublicKeyText(keys->at(name).PublicKey()) + "\n";
    res.set_content(text, "text/plain");
  });
  s.Get(R"(/signed/(\w+))", [keys, &context](const httplib::Request& req, httplib::Response& res) {
    const auto key = keys->find(req.matches[1]);
    if (key == keys->end()) {
      res.status = 404;
      return;
    }
    const std::string body = context.Get("to-sign");
    res.set_content(
        trust::SignedRecord(body, key->second.Sign({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()})),
        "text/plain");
  });
}

}  // namespace tandrel::test

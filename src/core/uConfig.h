// The server-list document: which JSON texts are accepted and how their members
// become the list's entries.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// One game server of the list.
struct TBoxConfig {
  std::string ServerName;
  std::string LauncherName;
  std::string Url;
  std::string BriefIntroduction;
  std::string BeginTime;
  std::string Md5;

  bool operator==(const TBoxConfig&) const = default;
};

// The document was not acceptable; the message says why (and where, for grammar).
class DocumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TConfig {
 public:
  // Reads text (UTF-8; invalid sequences read as U+FFFD) up to the root object's
  // closing brace; whatever follows is never looked at. Throws DocumentError; no
  // half-built TConfig escapes.
  explicit TConfig(std::string_view text);

  const std::vector<TBoxConfig>& ServerList() const { return FServerList; }
  std::vector<TBoxConfig>& ServerList() { return FServerList; }

 private:
  std::vector<TBoxConfig> FServerList;
};

}  // namespace tandrel

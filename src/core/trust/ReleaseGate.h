// Which release records a box stamped with trust keys takes: signed by one of its
// keys that is not retired, for its site, with a serial no lower than its floor
// nor than the highest it took from that key. A record signed by the standby key
// retires the current one for good. What it took is kept (KeptTrust).
#pragma once

#include "KeptTrust.h"
#include "ReleaseRecord.h"

#include "core/SiteBlock.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::trust {

enum class Verdict {
  Accepted,
  Refused,     // malformed, a bad signature, a retired key, another site, an older serial
  UnknownKey,  // well-formed, signed by a key this box was not stamped with: the box is too old
};

class ReleaseGate {
 public:
  // Reads what is kept in folders; the newest kept record that still passes is
  // the one in force until another is accepted.
  ReleaseGate(const site::Trust& stamped, std::vector<std::filesystem::path> folders);

  // Takes a record as served; an accepted one is in force from now on and kept.
  Verdict Offer(std::string_view text);

  // The record in force, or nullptr (a fresh install that has taken none).
  const ReleaseRecord* Current() const { return current_ ? &*current_ : nullptr; }
  // The stamped key that signed the record in force, or nullptr.
  const platform::P256PublicKey* SigningKey() const;

 private:
  // fromKept: a record this box kept, whose serial is the kept one by right.
  std::optional<ReleaseRecord> Check(std::string_view text, Verdict& verdict, bool fromKept = false) const;

  site::Trust stamped_;
  std::string siteId_;
  std::vector<std::filesystem::path> folders_;
  KeptTrust kept_;
  std::optional<ReleaseRecord> current_;
  std::string currentText_;
};

}  // namespace tandrel::trust

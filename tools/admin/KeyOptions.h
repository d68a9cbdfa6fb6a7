// Where a command takes the list's key and IV from: --key HEX --iv HEX, a stamped
// box (--site BIN) or a site folder (--site-dir SITE).
#pragma once

#include "Args.h"

#include "core/SiteBlock.h"
#include "core/crypto.h"

#include <set>
#include <string>

namespace tandrel::admin {

inline const std::set<std::string> kKeyOptions = {"--key", "--iv", "--site", "--site-dir"};

struct ListKeys {
  AesKey key{};
  AesKey iv{};
};

// Throws UsageError unless exactly one of the three sources is given.
ListKeys KeysFromOptions(const Args& args);

// 32 hexadecimal digits of either case.
site::Secret ParseSecretOption(const std::string& option, const std::string& text);

}  // namespace tandrel::admin

// A stand-in for the box in tests of the operator tool: it prints the site
// settings it reads at run time, so a stamped copy shows its stamped values.
#include "core/Hex.h"
#include "core/Share.h"

#include <cstdio>

int main() {
  using namespace tandrel;
  const auto tag = TraceTag();
  std::printf("ServerUrl=%s\n", ServerUrl().c_str());
  std::printf("ShortcutName=%s\n", ShortcutName().c_str());
  std::printf("InstallDirName=%s\n", InstallDirName().c_str());
  std::printf("TraceTag=%.*s|\n", static_cast<int>(tag.size()), tag.data());
  std::printf("ConfigKey=%s\n", ToHex(ConfigKey()).c_str());
  std::printf("ConfigIV=%s\n", ToHex(ConfigIV()).c_str());
  std::printf("Authorization=%s\n", AuthHeaderValue().c_str());
}

#include "Commands.h"

#include "core/crypto.h"

#include <cstdio>

namespace tandrel::admin {

int Digest(const std::vector<std::string>& words) {
  const Args args(words, {}, {});
  if (args.positionals().empty()) throw UsageError("expected one or more files");
  int status = 0;
  for (const std::string& path : args.positionals()) {
    try {
      std::printf("%s  %s\n", GetFileMd5(path).c_str(), path.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tandrel-admin digest: %s\n", e.what());
      status = 1;
    }
  }
  return status;
}

}  // namespace tandrel::admin

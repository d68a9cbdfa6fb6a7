#include "platform/Trace.h"

#include <cstdio>

namespace tandrel::platform {

// Linux has no debug-output channel; standard error is where such lines are read.
void WriteTraceLine(std::span<const char> bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace tandrel::platform

#include "platform/Trace.h"

#include <windows.h>

#include <string>

namespace tandrel::platform {

// The system's debug output takes a terminated string: a NUL among the bytes ends
// the line there, as it would for any reader of that channel.
void WriteTraceLine(std::span<const char> bytes) {
  const std::string line(bytes.begin(), bytes.end());
  OutputDebugStringA(line.c_str());
}

}  // namespace tandrel::platform

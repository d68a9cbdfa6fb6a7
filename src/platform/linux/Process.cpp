#include "../Process.h"

#include <stdexcept>

namespace tandrel::platform {

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw std::runtime_error("Cannot find the running executable: " + error.message());
  return path;
}

}  // namespace tandrel::platform

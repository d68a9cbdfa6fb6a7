#include "PeakMemory.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace tandrel::test {
namespace {

std::uint64_t StatusKibibytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field + ":")) return std::stoull(line.substr(field.size() + 1)) * 1024;
  }
  throw std::runtime_error("no " + field + " in /proc/self/status");
}

}  // namespace

std::uint64_t ResidentBytes() { return StatusKibibytes("VmRSS"); }

bool ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";  // resets the peak resident size to the current one
  clear.flush();
  return static_cast<bool>(clear);
}

std::uint64_t PeakResidentBytes() { return StatusKibibytes("VmHWM"); }

}  // namespace tandrel::test

#include "support/PeakMemory.h"

#include <windows.h>
#include <psapi.h>

namespace tandrel::test {

namespace {

PROCESS_MEMORY_COUNTERS Counters() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

}  // namespace

std::uint64_t ResidentBytes() { return Counters().WorkingSetSize; }

// Windows keeps a process's peak working set for its whole life.
bool ResetPeakResident() { return false; }

std::uint64_t PeakResidentBytes() { return Counters().PeakWorkingSetSize; }

}  // namespace tandrel::test

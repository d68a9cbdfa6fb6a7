// The test process's own memory, read from the kernel: the resident size now, and
// its peak since the last reset.
#pragma once

#include <cstdint>
#include <optional>

namespace tandrel::test {

std::uint64_t ResidentBytes();
// Starts the peak afresh; false where the kernel does not let the process do so.
bool ResetPeakResident();
std::uint64_t PeakResidentBytes();

}  // namespace tandrel::test

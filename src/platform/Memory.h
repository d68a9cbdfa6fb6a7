#pragma once

#include <cstddef>

namespace tandrel::platform {

// A hint that a large buffer is about to be filled: where the system can, it
// backs it with large pages, which saves most of the faults of touching it first.
void AdviseLargeBuffer(void* data, std::size_t size);

}  // namespace tandrel::platform

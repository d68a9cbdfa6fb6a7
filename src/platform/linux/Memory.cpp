#include "../Memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace tandrel::platform {

void AdviseLargeBuffer(void* data, std::size_t size) {
  constexpr std::uintptr_t kHugePage = 2u << 20;
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise wants a page-aligned address, computed as an integer.
  if (data && end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace tandrel::platform

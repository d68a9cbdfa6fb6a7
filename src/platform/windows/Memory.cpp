#include "platform/Memory.h"

namespace tandrel::platform {

// Windows gives large pages only to an allocation that asks for them when it is
// made (MEM_LARGE_PAGES), and only to a user holding the "Lock pages in memory"
// privilege, which the box does not ask for: a buffer that already exists cannot
// be advised.
void AdviseLargeBuffer(void*, std::size_t) {}

}  // namespace tandrel::platform

// The core's view of the user-interface thread on Windows: the thread's message
// queue, GetTickCount and Sleep.
#pragma once

#include "core/EventLoop.h"

namespace tandrel::win {

class WinEventLoop final : public EventLoop {
 public:
  // Dispatches what waits in the queue. A quit request it takes is posted again,
  // so the loop that owns it still ends.
  void PumpMessages() override;
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace tandrel::win

// The user-interface thread's message loop, as the core sees it. The window layer
// installs its own; programs without windows keep the queueless one.
#pragma once

#include <cstdint>

namespace tandrel {

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Handles every message waiting in the calling thread's queue, then returns.
  virtual void PumpMessages() = 0;
  // Milliseconds since some fixed moment, wrapping at 2^32.
  virtual std::uint32_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// For threads without a message queue: there is nothing to pump.
class QueuelessEventLoop : public EventLoop {
 public:
  void PumpMessages() override {}
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
};

EventLoop& CurrentEventLoop();
// The loop stays the caller's; pass nullptr to go back to the queueless one.
void SetCurrentEventLoop(EventLoop* loop);

}  // namespace tandrel

#include "EventLoop.h"

#include <chrono>
#include <thread>

namespace tandrel {
namespace {
QueuelessEventLoop gQueueless;
EventLoop* gCurrent = &gQueueless;
}  // namespace

std::uint32_t QueuelessEventLoop::TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void QueuelessEventLoop::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

EventLoop& CurrentEventLoop() { return *gCurrent; }

void SetCurrentEventLoop(EventLoop* loop) { gCurrent = loop ? loop : &gQueueless; }

}  // namespace tandrel

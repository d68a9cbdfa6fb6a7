// A hidden message-only window: a target for messages of the user-interface
// thread (timer ticks, posted tasks) that belongs to no visible window.
#pragma once

#include "Window.h"

#include <functional>

namespace tandrel::win {

class MessageWindow final : public Window {
 public:
  using Handler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;
  explicit MessageWindow(Handler handler);
  ~MessageWindow() override;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  Handler handler_;
};

}  // namespace tandrel::win

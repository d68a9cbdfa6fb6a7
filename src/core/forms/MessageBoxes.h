// The program's own message boxes: caption, text, icon and one OK button.
#pragma once

#include <string>

namespace tandrel::forms {

enum class MessageIcon { None, Error };
// Where the box sits, exactly centred.
enum class MessagePlace { OverMainWindow, OnScreen };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal: returns when the box is closed, at once while termination is pending.
  virtual void ShowMessage(MessageIcon icon, MessagePlace place, const std::string& caption,
                           const std::string& text) = 0;
};

}  // namespace tandrel::forms

// The program's message boxes, drawn by the program in the active style's look:
// a caption bar (which moves the box), an optional error icon, the text and one
// button. Modal; over a window it is owned by that window and disables it while
// it shows. Enter, Space and Escape press the button.
#pragma once

#include "core/forms/WindowLayout.h"

#include <windows.h>

#include <string>

namespace tandrel::win {

enum class MessageIconKind { None, Error };

struct DarkMessage {
  HWND over = nullptr;  // owner, centred over it; nullptr: no owner, centred on the primary monitor
  MessageIconKind icon = MessageIconKind::None;
  std::wstring caption;
  std::wstring text;
  std::wstring button = L"OK";
  forms::Scale scale{};  // the main window's; 100 % where there is none
};

// Returns when the box is closed; at once while termination is pending.
void ShowDarkMessage(const DarkMessage& message);

}  // namespace tandrel::win

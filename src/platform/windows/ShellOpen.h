// The shell's "open" verb, and the words for what it answers when it refuses.
#pragma once

#include "platform/Shell.h"

#include <windows.h>

#include <string>

namespace tandrel::platform {

// The shell's "open", without a word of its own. Refused, the failure text is
// followed by the system's words for the shell's own result.
ShellRefusal ShellOpen(const wchar_t* file, const std::wstring& parameters, const std::string& failure);

// The system's words for a shell result of 32 or less (ShellExecuteW's codes).
std::string ShellResultText(INT_PTR result);

}  // namespace tandrel::platform

// The default failure report on Windows: a message box with the failure's text,
// the application's title and an error icon, over the active window. The rule
// of the report and Guarded, through which every handler runs, are core/forms'.
#pragma once

#include <string>

namespace tandrel::win {

// The report's message box; WinLifecycle installs it.
void ShowFailure(const std::string& caption, const std::string& text);

}  // namespace tandrel::win

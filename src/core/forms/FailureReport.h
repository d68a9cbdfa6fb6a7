// The default failure report: what leaves an event handler is shown with its text
// and the application's title, and the program goes on. Every handler the window
// layers forward runs through Guarded, the one place that catches, because no
// toolkit carries exceptions through its event loop.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tandrel::forms {

// The text as the report shows it: a "." is appended when the last character's
// code is greater than that of ".".
std::string FailureText(std::string_view message);

// Shows a report: caption and text. The window layer installs a message box with
// the error icon; without one the report goes to the standard error stream.
using FailureReport = std::function<void(const std::string& caption, const std::string& text)>;
void SetFailureReport(FailureReport report);

void ReportFailure(std::string_view message);

// Runs a handler; a failure ends it there and is reported.
void Guarded(const std::function<void()>& handler);

// The caption of the report and of the plain message dialog.
void SetApplicationTitle(std::string title);
const std::string& ApplicationTitle();

}  // namespace tandrel::forms

// The default failure report: what leaves an event handler is shown in a message
// box with its text, the application's title and an error icon, and the program
// goes on. Every handler of the box runs through Guarded, the one place that
// catches, because Qt does not carry exceptions through its event loop.
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <string>

namespace tandrel::ui {

// The text as the report shows it: a "." is appended when the last character's
// code is greater than that of ".".
QString FailureText(const QString& message);

void ReportFailure(const QString& message);

// Runs a handler; a failure ends it there and is reported.
void Guarded(const std::function<void()>& handler);

// The caption of the report and of the plain message dialog.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

}  // namespace tandrel::ui

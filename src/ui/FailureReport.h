// The default failure report on Qt: a message box with the failure's text, the
// application's title and an error icon, over the active window. The rule of the
// report and Guarded, through which every handler runs, are the toolkit-free
// ones of core/forms.
#pragma once

#include "core/forms/FailureReport.h"

#include <QString>

#include <string>

namespace tandrel::ui {

using forms::Guarded;

// The report's message box; QtLifecycle installs it.
void ShowFailure(const std::string& caption, const std::string& text);

// The caption of the report and of the plain message dialog.
QString ApplicationTitle();

}  // namespace tandrel::ui

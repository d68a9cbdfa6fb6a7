// Qt's side of ending the program and of modal windows. The termination state and
// its rule (a modal window shown while termination is pending closes at once, and
// so does the main loop) are core/forms' Termination.
#pragma once

#include "core/forms/Termination.h"

#include <QMessageBox>
#include <QString>

class QDialog;

namespace tandrel::ui {

using forms::RequestTermination;
using forms::TerminationRequested;

// While it lives, a termination request ends Qt's loops at their next turn and
// failures are reported in message boxes.
class QtLifecycle final {
 public:
  QtLifecycle();
  ~QtLifecycle();
  QtLifecycle(const QtLifecycle&) = delete;
  QtLifecycle& operator=(const QtLifecycle&) = delete;
};

// The main message loop; returns at once when termination was requested before it.
int RunMainLoop();

// Shows a dialog modally; returns 0 at once when termination is requested. The
// dialog sits exactly centred over its parent's window or, without a parent, on
// its screen, with or without a window manager; a message box's buttons carry no
// icons.
int ShowModal(QDialog& dialog);

// A message box of the program's own (caption, text, icon, one OK button),
// centred over parent or, without one, on the screen.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text);

}  // namespace tandrel::ui

// Ending the program and modal windows. A termination request stays requested:
// the main loop ends at its next turn wherever the request was taken, and every
// modal window shown while one is pending closes by itself at once.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;

namespace tandrel::ui {

void RequestTermination();
bool TerminationRequested();

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

// For tests: forget an earlier request.
void ResetTerminationForTests();

}  // namespace tandrel::ui

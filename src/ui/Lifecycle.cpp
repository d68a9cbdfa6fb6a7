#include "Lifecycle.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace tandrel::ui {
namespace {
bool gTerminationRequested = false;
}  // namespace

void RequestTermination() {
  gTerminationRequested = true;
  // Posted: the loop that takes it ends, and with it every loop running then.
  QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool TerminationRequested() { return gTerminationRequested; }

int RunMainLoop() {
  if (gTerminationRequested) return 0;
  return QApplication::exec();
}

int ShowModal(QDialog& dialog) {
  if (gTerminationRequested) return 0;
  return dialog.exec();
}

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  ShowModal(box);
}

void ResetTerminationForTests() { gTerminationRequested = false; }

}  // namespace tandrel::ui

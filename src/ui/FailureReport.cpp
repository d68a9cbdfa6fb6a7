#include "FailureReport.h"

#include "Lifecycle.h"

#include <QApplication>

namespace tandrel::ui {
namespace {
QString gTitle;
}  // namespace

QString FailureText(const QString& message) {
  if (!message.isEmpty() && message.back() > QChar(u'.')) return message + u'.';
  return message;
}

void ReportFailure(const QString& message) {
  ShowMessage(QApplication::activeWindow(), QMessageBox::Critical, gTitle, FailureText(message));
}

void Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportFailure(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportFailure(QStringLiteral("Unknown failure"));
  }
}

void SetApplicationTitle(const QString& title) { gTitle = title; }
QString ApplicationTitle() { return gTitle; }

}  // namespace tandrel::ui

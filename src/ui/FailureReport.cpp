#include "FailureReport.h"

#include "Lifecycle.h"

#include <QApplication>

namespace tandrel::ui {

void ShowFailure(const std::string& caption, const std::string& text) {
  ShowMessage(QApplication::activeWindow(), QMessageBox::Critical, QString::fromStdString(caption),
              QString::fromStdString(text));
}

QString ApplicationTitle() { return QString::fromStdString(forms::ApplicationTitle()); }

}  // namespace tandrel::ui

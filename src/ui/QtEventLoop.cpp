#include "QtEventLoop.h"

#include <QCoreApplication>

namespace tandrel::ui {

void QtEventLoop::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtDispatcher::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(uiObject_, std::move(task), Qt::QueuedConnection);
}

}  // namespace tandrel::ui

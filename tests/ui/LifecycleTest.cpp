// A termination request ends modal windows and the main loop, wherever it is taken.
#include "ui/Lifecycle.h"

#include "core/Hutil32.h"

#include "support/UiSupport.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace tandrel::ui {
namespace {

using namespace std::chrono_literals;

TEST(Lifecycle, AModalShownWhileTerminationIsPendingClosesAtOnceAndTheLoopEnds) {
  RequestTermination();
  QMessageBox box(QMessageBox::NoIcon, "Box", "结束进程1", QMessageBox::Ok);
  EXPECT_EQ(ShowModal(box), 0);  // no click needed
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(RunMainLoop(), 0);  // returns at once
}

TEST(Lifecycle, ARequestTakenInsideAWaitIsNotLost) {
  // The wait pumps the queue and takes the request there; the loop still ends.
  bool reachedLoop = false;
  QTimer::singleShot(0, [] { RequestTermination(); });
  Delay(50);
  EXPECT_TRUE(TerminationRequested());
  QTimer::singleShot(0, [&] { reachedLoop = true; });
  QTimer watchdog;  // never hang the test: ends the loop after a while in any case
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(7); });
  watchdog.start(5000);
  EXPECT_EQ(RunMainLoop(), 0);
  EXPECT_FALSE(reachedLoop);
}

TEST(Lifecycle, AModalAlreadyOpenClosesWhenTerminationIsRequested) {
  QMessageBox box(QMessageBox::Information, "Box", "waiting", QMessageBox::Ok);
  QTimer::singleShot(50, [] { RequestTermination(); });
  QTimer::singleShot(5000, [&] { box.done(9); });  // never hang the test
  const int result = ShowModal(box);
  EXPECT_NE(result, 9);
}

}  // namespace
}  // namespace tandrel::ui

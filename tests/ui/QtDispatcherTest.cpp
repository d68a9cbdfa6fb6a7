// HTTP reports reach the user-interface thread through Qt's queue.
#include "ui/QtEventLoop.h"

#include "core/http/SystemClient.h"

#include "support/LoopbackServer.h"
#include "support/UiSupport.h"

#include <QApplication>
#include <QThread>
#include <gtest/gtest.h>

namespace tandrel::ui {
namespace {

struct Reports final : http::AsyncHandler {
  int progress = 0;
  bool done = false, offUiThread = false;
  void Check() { offUiThread |= QThread::currentThread() != qApp->thread(); }
  void OnReceiveData(std::int64_t, std::int64_t, bool&) override {
    Check();
    ++progress;
  }
  void OnRequestCompleted(http::Response) override {
    Check();
    done = true;
  }
  void OnRequestError(const std::string&) override {
    Check();
    done = true;
  }
};

TEST(QtDispatcher, RunsEveryReportOnTheUserInterfaceThread) {
  test::LoopbackServer server("http-client");
  QtDispatcher dispatcher(qApp);
  http::SystemClient client(&dispatcher);
  Reports reports;
  const auto request = client.GetAsync(server.Url("/file"), {}, reports);
  ASSERT_TRUE(test::WaitFor([&] { return reports.done; }));
  EXPECT_GE(reports.progress, 2);
  EXPECT_FALSE(reports.offUiThread);
}

}  // namespace
}  // namespace tandrel::ui

// The UI tests run headless on Qt's offscreen platform, with the box's look.
#include "ui/Lifecycle.h"
#include "ui/QtEventLoop.h"
#include "ui/VisualStyles.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Offscreen, unless a test runs itself again on a real X server (test::OnBareX).
  const char* platform = std::getenv("TANDREL_UI_TEST_PLATFORM");
  setenv("QT_QPA_PLATFORM", platform ? platform : "offscreen", 1);
  const auto runtime = std::filesystem::temp_directory_path() / "tandrel-ui-test-runtime";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  tandrel::ui::QtLifecycle lifecycle;
  tandrel::ui::QtEventLoop loop;
  tandrel::SetCurrentEventLoop(&loop);
  tandrel::ui::ApplyStyle(QString::fromLatin1(tandrel::ui::kMainStyle));
  const int result = RUN_ALL_TESTS();
  tandrel::SetCurrentEventLoop(nullptr);
  return result;
}

#include "UiSupport.h"

#include "SiteFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

void PrintTo(const QRect& rect, std::ostream* out) {
  *out << rect.width() << 'x' << rect.height() << " at ";
  PrintTo(rect.topLeft(), out);
}

void PrintTo(const QPoint& point, std::ostream* out) { *out << '(' << point.x() << ", " << point.y() << ')'; }

namespace tandrel::test {

ModalWatcher::ModalWatcher() {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->windowHandle() || !box->windowHandle()->isExposed()) return;
    const QList<QAbstractButton*> buttons = box->buttons();
    const auto withIcons = std::count_if(buttons.begin(), buttons.end(),
                                         [](const QAbstractButton* button) { return !button->icon().isNull(); });
    boxes_.push_back({box->text(), box->geometry(), static_cast<int>(buttons.size()), static_cast<int>(withIcons)});
    box->done(0);
  });
  timer_.start();
}

QStringList ModalWatcher::Texts() const {
  QStringList texts;
  for (const ShownBox& box : boxes_) texts.push_back(box.text);
  return texts;
}

QPoint CentredOnScreen(QSize size, const QRect& area) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  // Equal gaps on both sides, the odd pixel on the right or at the bottom.
  const QPoint centred(area.left() + (area.width() - size.width()) / 2,
                       area.top() + (area.height() - size.height()) / 2);
  return {std::max(screen.left(), std::min(centred.x(), screen.right() + 1 - size.width())),
          std::max(screen.top(), std::min(centred.y(), screen.bottom() + 1 - size.height()))};
}

namespace {

// The UI test main runs on the platform this names, offscreen without it.
constexpr char kPlatformVariable[] = "TANDREL_UI_TEST_PLATFORM";

void Skip(const QString& why) { GTEST_SKIP() << why.toStdString(); }

}  // namespace

bool OnBareX(const char* scaleFactor) {
  if (qEnvironmentVariableIsSet(kPlatformVariable)) {
    EXPECT_EQ(QGuiApplication::platformName().toStdString(), "xcb") << "the UI test main ignores " << kPlatformVariable;
    return QGuiApplication::platformName() == u"xcb";
  }
  QProcess xvfb;
  // The server picks a free display and writes its number once it listens.
  xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
  if (!xvfb.waitForStarted()) {
    Skip(QStringLiteral("no bare X server: Xvfb cannot start here (%1)").arg(xvfb.errorString()));
    return false;
  }
  while (!xvfb.canReadLine() && xvfb.waitForReadyRead(30000)) {
  }
  if (!xvfb.canReadLine()) {
    Skip(QStringLiteral("no bare X server: Xvfb gave no display (%1)")
             .arg(QString::fromLocal8Bit(xvfb.readAllStandardError())));
    return false;
  }
  const QString display = u':' + QString::fromLatin1(xvfb.readLine()).trimmed();
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display);
  environment.insert(QString::fromLatin1(kPlatformVariable), QStringLiteral("xcb"));
  if (scaleFactor) environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scaleFactor));
  QProcess child;
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
  child.waitForFinished(-1);
  const QByteArray output = child.readAll();
  std::fwrite(output.data(), 1, static_cast<std::size_t>(output.size()), stdout);
  // Exactly this test ran there, and passed.
  EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
              output.contains("[  PASSED  ] 1 test."))
      << "the run on the bare X server " << display.toStdString() << " failed: its output is above";
  xvfb.terminate();
  xvfb.waitForFinished();
  return false;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limit.count()) return done();
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void Spin(std::chrono::milliseconds time) {
  WaitFor([] { return false; }, time);
}

namespace {
const admin::SiteKeys kKeys = {{5, 4, 3, 2, 1, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
                               {1, 1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 1, 2, 3},
                               std::string(32, 'c'),
                               std::string(32, 'd'),
                               {},
                               0};
}  // namespace

TestSite::TestSite(int servers, const std::string& banner) {
  admin::WriteSiteConf(dir_ / "site.conf", kKeys);
  WriteServers(servers);
  if (banner.empty()) {
    QImage picture(900, 60, QImage::Format_RGB32);  // wider than the banner's box: it is cut
    picture.fill(QColor(0x12, 0x34, 0x56));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    WriteFile(dir_ / "logo.png", png.toStdString());
  } else {
    WriteFile(dir_ / "logo.png", banner);
  }
  Start();
}

void TestSite::WriteServers(int servers) {
  std::string list = R"({"ServerList":{"FListHelper":[)";
  for (int i = 0; i < servers; ++i) {
    if (i) list += ",";
    list += R"({"ServerName":"服务器)" + std::to_string(i) + R"(","LauncherName":"game)" + std::to_string(i) +
            R"(","BriefIntroduction":"第)" + std::to_string(i) + R"(行","BeginTime":"12月31日上午11:00"})";
  }
  WriteFile(dir_ / "servers.json", list + "]}}");
}

void TestSite::Start() {
  service_.emplace(dir_.path());
  url_ = service_->BaseUrl();
}

void TestSite::Stop() { service_.reset(); }

int TestSite::Requests(const std::string& target) {
  int n = 0;
  for (const auto& line : Log()) {
    if (line.find("\"GET " + target + "\"") != std::string::npos) ++n;
  }
  return n;
}

ServiceSite TestSite::Site() const { return ServiceSite{url_, kKeys.AuthHeaderValue(), kKeys.key, kKeys.iv, {}, {}}; }

}  // namespace tandrel::test

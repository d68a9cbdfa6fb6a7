#include "UiSupport.h"

#include "SiteFolder.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>

#include <thread>

namespace tandrel::test {

ModalWatcher::ModalWatcher() {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      texts_.push_back(box->text());
      box->done(0);
    }
  });
  timer_.start();
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
                               std::string(32, 'd')};
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

ServiceSite TestSite::Site() const { return ServiceSite{url_, kKeys.AuthHeaderValue(), kKeys.key, kKeys.iv}; }

}  // namespace tandrel::test

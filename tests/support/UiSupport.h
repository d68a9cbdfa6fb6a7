// Helpers for tests of the windows: answering modal windows, waiting on the event
// loop, running a test on a bare X server, and a small site served on loopback.
#pragma once

#include "RunningService.h"
#include "TempDir.h"

#include "core/ServiceEndpoints.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

// Rectangles and points as Qt writes them, in test failures.
void PrintTo(const QRect& rect, std::ostream* out);
void PrintTo(const QPoint& point, std::ostream* out);

namespace tandrel::test {

// A message box as the window system first showed it.
struct ShownBox {
  QString text;
  QRect geometry;  // the window itself, frame excluded, on the screen
  int buttons = 0;
  int buttonsWithIcons = 0;
};

// Closes every message box as soon as the window system shows it, and remembers
// what it showed.
class ModalWatcher {
 public:
  ModalWatcher();
  QStringList Texts() const;
  const QList<ShownBox>& Boxes() const { return boxes_; }

 private:
  QTimer timer_;
  QList<ShownBox> boxes_;
};

// Where a window of that size sits exactly centred over area (a rectangle on the
// screen), then moved back wholly onto the primary screen where it overhangs.
QPoint CentredOnScreen(QSize size, const QRect& area);

// For checks of what shows only on a real X server without a window manager.
// In a test's usual offscreen run it runs that same test again in a child
// process on a fresh Xvfb, takes the child's result as the test's own and
// returns false; the test is skipped where Xvfb cannot start. In the child it
// returns true, and the test goes on with its checks:
//   if (!test::OnBareX()) return;
// scaleFactor, when given, is the child's QT_SCALE_FACTOR.
bool OnBareX(const char* scaleFactor = nullptr);

// Runs the event loop until done() holds or the time is up; returns done().
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));
// Runs the event loop for a while.
void Spin(std::chrono::milliseconds time);

// A site folder with n servers, and the service for it.
class TestSite {
 public:
  explicit TestSite(int servers, const std::string& banner = "");
  void WriteServers(int servers);
  void Start();
  void Stop();
  std::string BaseUrl() const { return url_; }
  std::vector<std::string> Log() { return service_ ? service_->Log() : std::vector<std::string>{}; }
  int Requests(const std::string& target);
  ServiceSite Site() const;
  const std::filesystem::path& Dir() const { return dir_.path(); }

 private:
  TempDir dir_;
  std::optional<RunningService> service_;
  std::string url_;
  int port_ = 0;
};

}  // namespace tandrel::test

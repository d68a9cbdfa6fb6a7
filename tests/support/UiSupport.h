// Helpers for tests of the windows: answering modal windows, waiting on the event
// loop, and a small site served on loopback.
#pragma once

#include "RunningService.h"
#include "TempDir.h"

#include "core/ServiceEndpoints.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tandrel::test {

// Closes every message box as soon as it shows, and remembers its text.
class ModalWatcher {
 public:
  ModalWatcher();
  const QStringList& Texts() const { return texts_; }

 private:
  QTimer timer_;
  QStringList texts_;
};

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

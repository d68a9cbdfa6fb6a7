// A launcher download through the download dialog, as a click makes it: prints
// the throughput and the peak resident memory against the body's size. The URL
// comes as the only argument (scripts/bench serves a 256 MiB launcher).
#include "ui/Artwork.h"
#include "ui/QtEventLoop.h"
#include "ui/VisualStyles.h"
#include "ui/uDownloadForm.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long ResidentKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: download_bench URL\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  tandrel::ui::QtEventLoop loop;
  tandrel::SetCurrentEventLoop(&loop);
  tandrel::ui::ApplyStyle(QString::fromLatin1(tandrel::ui::kMainStyle));
  tandrel::ui::Artwork art;
  QWidget owner;
  const long idle = ResidentKiB("VmRSS:");

  tandrel::http::Bytes body;
  QElapsedTimer clock;
  clock.start();
  bool ok;
  {
    tandrel::ui::DownloadDialog dialog(&owner, art);
    ok = dialog.Download("bench", argv[1], body) == tandrel::DownloadResult::Completed;
  }
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const long peak = ResidentKiB("VmHWM:");
  if (!ok) {
    std::fprintf(stderr, "the download failed\n");
    return 1;
  }
  const double mib = static_cast<double>(body.size()) / (1024.0 * 1024.0);
  std::printf("bytes=%zu seconds=%.4f mib_per_s=%.1f idle_kib=%ld peak_kib=%ld\n", body.size(), seconds, mib / seconds,
              idle, peak);
  return 0;
}

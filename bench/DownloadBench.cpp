// A launcher download through the download dialog into its cache file, as a
// click makes it: to the part file, checked against the expected MD5 (and
// SHA-256, as a signed site checks it), then renamed into place. Prints the
// throughput and the peak resident memory. scripts/bench serves a 256 MiB
// launcher and gives its URL, the cache file and the digests.
#include "ui/Artwork.h"
#include "ui/QtEventLoop.h"
#include "ui/VisualStyles.h"
#include "ui/uDownloadForm.h"

#include "core/Hex.h"
#include "core/download/PartFile.h"

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
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: download_bench URL CACHE-FILE MD5 [SHA256]\n");
    return 2;
  }
  const std::string md5 = argv[3], sha256 = argc == 5 ? argv[4] : "";
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  tandrel::ui::QtEventLoop loop;
  tandrel::SetCurrentEventLoop(&loop);
  tandrel::ui::ApplyStyle(QString::fromLatin1(tandrel::ui::kMainStyle));
  tandrel::ui::Artwork art;
  QWidget owner;
  const long idle = ResidentKiB("VmRSS:");

  const tandrel::download::DownloadRequest request{"bench", {argv[1]}, argv[2], UINT64_MAX, 2, !sha256.empty()};
  tandrel::download::DownloadedFile file;
  QElapsedTimer clock;
  clock.start();
  bool ok;
  {
    tandrel::ui::DownloadDialog dialog(&owner, art);
    ok = dialog.Download(request, file) == tandrel::DownloadResult::Completed;
  }
  ok = ok && tandrel::ToHex(file.md5) == md5 &&
       (sha256.empty() || (file.sha256 && tandrel::ToHex(*file.sha256) == sha256));
  if (ok) tandrel::download::CommitPart(request.target, std::filesystem::perms(0644));
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const long peak = ResidentKiB("VmHWM:");
  if (!ok) {
    std::fprintf(stderr, "the download failed or did not verify\n");
    return 1;
  }
  const double mib = static_cast<double>(file.size) / (1024.0 * 1024.0);
  std::printf("bytes=%llu seconds=%.4f mib_per_s=%.1f idle_kib=%ld peak_kib=%ld\n",
              static_cast<unsigned long long>(file.size), seconds, mib / seconds, idle, peak);
  return 0;
}

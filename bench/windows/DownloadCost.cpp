// A launcher download through the download dialog's logic into its cache file,
// under Wine: WinHTTP, the part file and the digest as box.exe runs them, on a
// window without a display. Prints the throughput, for scripts/bench to set
// beside the Linux box's.
//   download_cost URL CACHE-FILE MD5
#include "core/Hex.h"
#include "core/download/PartFile.h"
#include "core/forms/uDownloadForm.h"

#include "support/HeadlessDownloads.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  using namespace tandrel;
  if (argc != 4) {
    std::fprintf(stderr, "usage: download_cost URL CACHE-FILE MD5\n");
    return 2;
  }
  test::QueueDispatcher dispatcher;
  test::DispatcherTimers timers(dispatcher);
  test::ModalDownloadScreen screen(dispatcher);
  const download::DownloadRequest request{"bench", {argv[1]}, argv[2], UINT64_MAX, 2, false};
  download::DownloadedFile file;
  const auto start = std::chrono::steady_clock::now();
  bool ok;
  {
    forms::TDownloadForm form(screen, dispatcher, timers);
    ok = form.Download(request, file) == DownloadResult::Completed && ToHex(file.md5) == argv[3];
  }
  if (ok) download::CommitPart(request.target, std::filesystem::perms(0644));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!ok) {
    std::fprintf(stderr, "the download failed or did not verify\n");
    return 1;
  }
  std::printf("bytes=%llu seconds=%.4f mib_per_s=%.1f\n", static_cast<unsigned long long>(file.size), seconds,
              static_cast<double>(file.size) / (1024.0 * 1024.0) / seconds);
  return 0;
}

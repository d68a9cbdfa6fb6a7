// serve: the reference service for one site folder.
#include "Commands.h"
#include "SiteRelease.h"
#include "service/HttpFront.h"
#include "service/SiteService.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace tandrel::admin {

int Serve(const std::vector<std::string>& words) {
  const Args args(words, {"--listen", "--port", "--base-path", "--exit-after"}, {});
  args.ExpectPositionals(1, "one site folder");
  const std::string address = args.Value("--listen").value_or("127.0.0.1");
  const int port = std::stoi(args.Value("--port").value_or("0"));
  const int exitAfter = std::stoi(args.Value("--exit-after").value_or("0"));
  if (port < 0 || port > 65535) throw UsageError("--port must be 0 to 65535");
  RaiseOpenFileLimit();  // every held connection is a descriptor

  // Termination signals are taken by a thread of their own, so the service stops cleanly.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  std::mutex logMutex;
  SiteService service(SiteFolder(args.positionals()[0]), args.Value("--base-path").value_or("/"),
                      [&logMutex](const std::string& line) {
                        std::lock_guard lock(logMutex);
                        std::printf("%s\n", line.c_str());
                        std::fflush(stdout);
                      });
  service.Bind(address, port);
  {
    std::lock_guard lock(logMutex);
    std::printf("%s\n", service.BaseUrl().c_str());
    std::fflush(stdout);
  }

  std::thread signalWatcher([&] {
    int taken = 0;
    sigwait(&signals, &taken);
    service.Stop();
  });
  std::mutex stopMutex;
  std::condition_variable stopped;
  bool done = false;
  std::thread timer;
  // A signed site is checked against its record at start and on every change of
  // what the record covers: players would refuse what no longer matches.
  const SiteFolder site(args.positionals()[0]);
  std::thread releaseWatch([&] {
    std::string seen;
    std::unique_lock lock(stopMutex);
    do {
      const std::string stamp = ReleaseInputsStamp(site);
      if (stamp == seen || !site.Signed()) continue;
      seen = stamp;
      std::vector<std::string> faults;
      try {
        faults = SiteMismatches(site);
      } catch (const std::exception& e) {
        faults = {e.what()};
      }
      std::lock_guard logLock(logMutex);
      if (faults.empty()) std::printf("release: the site matches its signed record\n");
      for (const std::string& fault : faults) std::printf("release: %s: sign the site again\n", fault.c_str());
      std::fflush(stdout);
    } while (!stopped.wait_for(lock, std::chrono::seconds(2), [&] { return done; }));
  });
  if (exitAfter > 0) {  // for tests: the service ends by itself
    timer = std::thread([&] {
      std::unique_lock lock(stopMutex);
      if (!stopped.wait_for(lock, std::chrono::seconds(exitAfter), [&] { return done; })) service.Stop();
    });
  }
  service.Run();
  {
    std::lock_guard lock(stopMutex);
    done = true;
    stopped.notify_all();
  }
  if (timer.joinable()) timer.join();
  releaseWatch.join();
  // Not to end the thread: the watcher waits in sigwait, and this signal is the one it takes to return.
  pthread_kill(signalWatcher.native_handle(), SIGTERM);  // NOLINT(bugprone-bad-signal-to-kill-thread)
  signalWatcher.join();
  return 0;
}

}  // namespace tandrel::admin

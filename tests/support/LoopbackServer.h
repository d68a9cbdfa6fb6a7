// An HTTP server on 127.0.0.1 for tests: a free port of its own, one of the named
// route sets of support/routes (or "raw-answers", a RawAnswerServer that writes
// whatever bytes the test sets), and a hard time limit after which it stops by
// itself. The test and the routes share named values: what the test wants
// answered, and what the routes saw.
//
// On Linux the server runs inside the test. A Windows test program under Wine has
// no HTTP server library of its own: it asks the loopback host, a Linux program
// started by ctest, to run the server, and reaches it over loopback all the same.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace tandrel::test {

class LoopbackServer {
 public:
  explicit LoopbackServer(const std::string& routes, std::chrono::seconds limit = std::chrono::seconds(60));
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const;
  // "http://127.0.0.1:PORT" followed by path.
  std::string Url(const std::string& path = "/") const;

  void Set(const std::string& name, const std::string& value);
  // What the routes recorded under name; empty when nothing was.
  std::string Get(const std::string& name);
  // The same, emptied: the lines recorded since the last Take.
  std::string Take(const std::string& name);

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The address of a port no server listens on any more.
std::string UnreachableUrl(const std::string& path);

}  // namespace tandrel::test

// A loopback server that answers every connection with the bytes the test set,
// exactly as given: heads that lie about their length, bodies cut short, no head
// at all. What an HTTP server library would refuse to send. It shares named
// values with the test as the route sets do:
//   "answer"   the bytes written after the request's head has arrived
//   "hold-ms"  how long the connection then stays open before the server closes
//              it (0 unless set); a client that closes it first ends the wait
//   "closed"   recorded per connection: "client" when the client closed it while
//              the server held it, "server" otherwise
//   "requests" recorded per connection: the request line
#pragma once

#include "routes/RouteSets.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace tandrel::test {

class RawAnswerServer {
 public:
  explicit RawAnswerServer(RouteContext& context);
  // Stops at once: held connections are closed.
  ~RawAnswerServer();
  RawAnswerServer(const RawAnswerServer&) = delete;
  RawAnswerServer& operator=(const RawAnswerServer&) = delete;

  int port() const { return port_; }
  void Stop();

 private:
  void Accept();
  void Answer(int socket);

  RouteContext& context_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace tandrel::test

// The connections of the reference service, in front of cpp-httplib.
//
// cpp-httplib gives each connection a worker thread from accept to close and only
// limits each single read, so 64 clients sending one header byte every few seconds
// held every worker of the service. Here one thread watches every connection
// (epoll) until the whole request head has arrived, enforcing a deadline for it and
// a cap on connections per client address; only then does a worker take the
// connection, have cpp-httplib parse and answer that one request, and hand the
// connection back to be watched for the next one. Idle and slow connections cost a
// file descriptor and a few hundred bytes, never a thread.
#pragma once

#include "ServiceLimits.h"

#include <httplib.h>

#include <functional>
#include <memory>
#include <string>

namespace tandrel::admin {

// Raises this process's soft limit on open files to its hard limit, as servers do
// at start; a failure leaves the limit as it was.
void RaiseOpenFileLimit();

class HttpFront {
 public:
  using Log = std::function<void(const std::string& line)>;

  HttpFront(const ServiceLimits& limits, Log log);
  ~HttpFront();
  HttpFront(const HttpFront&) = delete;
  HttpFront& operator=(const HttpFront&) = delete;

  // Where the routes, the logger and the like are set, before Run.
  httplib::Server& http();
  // Runs on each parsed request before its route (cpp-httplib's set-up hook).
  void SetRequestSetup(std::function<void(httplib::Request&)> setup);

  // Returns the port bound (a free one for 0). Throws when it cannot bind.
  int Bind(const std::string& address, int port);
  // Serves until Stop(); returns at once when Stop came first.
  void Run();
  // From any thread.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tandrel::admin

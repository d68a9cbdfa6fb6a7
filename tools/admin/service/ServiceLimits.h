// What one client may take of the reference service. A connection costs a thread
// only while its request is being answered: until the whole request head has
// arrived it is watched, with every other waiting connection, by one thread.
#pragma once

#include <chrono>
#include <cstddef>

namespace tandrel::admin {

struct ServiceLimits {
  // The whole request head (request line and header fields) must arrive within this
  // time: from the connection's start, or on a kept-alive connection from its next
  // request's first byte. A head still incomplete then gets "408" and the connection
  // is closed, however steadily its bytes trickle in.
  std::chrono::milliseconds headDeadline{10000};
  // A kept-alive connection with no next request is closed after this time.
  std::chrono::milliseconds keepAliveIdle{5000};
  // Longest wait for a request body, and for each write of an answer to make room.
  std::chrono::milliseconds readWriteTimeout{5000};
  // A longer head gets "431" and the connection is closed.
  std::size_t headMaxBytes = 16 * 1024;
  // Open connections one client address may hold; beyond them a new connection gets
  // "503" and is closed. A whole internet café behind one address stays under it.
  int connectionsPerAddress = 128;
  // Requests of one client address answered at once; its further complete requests
  // wait their turn, so no address occupies every worker (slow downloads included).
  int busyPerAddress = 32;
  // Threads answering requests.
  int workers = 64;
  // Requests on one kept-alive connection before it is closed.
  std::size_t keepAliveMaxRequests = 1000;
};

}  // namespace tandrel::admin

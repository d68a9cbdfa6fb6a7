// The limits every request is held to, whatever carries its bytes: a server that
// says nothing, one that trickles, one that never ends, and one that sends more
// than any honest answer of its kind. The transport reports what moved; the guard
// says when the request has failed.
#pragma once

#include "HttpClient.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tandrel::http {

inline constexpr const char* kNoAnswerInTime = "The server did not answer in time";

class TransferGuard {
 public:
  using Clock = std::chrono::steady_clock;

  // withDeadline: the whole request must end within timeouts.deadline (the
  // requests that block the window); a download the player watches and can
  // cancel has none.
  TransferGuard(const Timeouts& timeouts, std::uint64_t maxBody, bool withDeadline, Clock::time_point start);

  // Bytes of the request went out, or bytes of the answer (head or body) came in.
  void Sent(Clock::time_point now);
  // The client's own work between the head and the body (opening the file the
  // body goes to, on a slow disk) ended: that time was no silence of the server's.
  void Resumed(Clock::time_point now);
  void Received(std::uint64_t bytes, Clock::time_point now);

  // Whether a body of this size may be taken; the announced length counts as
  // soon as it is known, so an oversized answer is refused before its body.
  bool BodyFits(std::uint64_t size) const { return size <= maxBody_; }
  std::uint64_t MaxBody() const { return maxBody_; }

  // Why the request has failed by now, if it has.
  std::optional<std::string> Failure(Clock::time_point now);

  static std::string TooLarge(std::uint64_t maxBody);

 private:
  Timeouts timeouts_;
  std::uint64_t maxBody_;
  std::optional<Clock::time_point> deadline_;
  Clock::time_point lastMoved_;
  bool answering_ = false;
  Clock::time_point windowStart_;
  std::uint64_t windowBytes_ = 0;
};

}  // namespace tandrel::http

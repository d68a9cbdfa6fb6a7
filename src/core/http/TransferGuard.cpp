#include "TransferGuard.h"

namespace tandrel::http {

TransferGuard::TransferGuard(const Timeouts& timeouts, std::uint64_t maxBody, bool withDeadline,
                             Clock::time_point start)
    : timeouts_(timeouts), maxBody_(maxBody), lastMoved_(start), windowStart_(start) {
  if (withDeadline) deadline_ = start + timeouts.deadline;
}

void TransferGuard::Sent(Clock::time_point now) { lastMoved_ = now; }

void TransferGuard::Resumed(Clock::time_point now) {
  lastMoved_ = now;
  windowStart_ = now;
  windowBytes_ = 0;
}

void TransferGuard::Received(std::uint64_t bytes, Clock::time_point now) {
  lastMoved_ = now;
  if (!answering_) {
    // The trickle rule starts with the answer: before it, waiting is the server's
    // time to think, bounded by the silence rule alone.
    answering_ = true;
    windowStart_ = now;
    windowBytes_ = 0;
  }
  windowBytes_ += bytes;
}

std::optional<std::string> TransferGuard::Failure(Clock::time_point now) {
  if (deadline_ && now >= *deadline_) return kNoAnswerInTime;
  if (now - lastMoved_ > timeouts_.stall) return kNoAnswerInTime;
  if (answering_ && now - windowStart_ >= timeouts_.window) {
    if (windowBytes_ < timeouts_.minBytesPerWindow) return kNoAnswerInTime;
    windowStart_ = now;
    windowBytes_ = 0;
  }
  return std::nullopt;
}

std::string TransferGuard::TooLarge(std::uint64_t maxBody) {
  return "The answer is larger than " + std::to_string(maxBody) + " bytes";
}

}  // namespace tandrel::http

#include "RawAnswerServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace tandrel::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPollMs = 20;

// Waits until the socket can be read, the server stops or the time is up.
bool Readable(int socket, const std::atomic<bool>& stopping, Clock::time_point until) {
  while (!stopping && Clock::now() < until) {
    pollfd fd{socket, POLLIN, 0};
    if (::poll(&fd, 1, kPollMs) > 0) return true;
  }
  return false;
}

}  // namespace

RawAnswerServer::RawAnswerServer(RouteContext& context) : context_(context) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener_ >= 0) ::close(listener_);
    throw std::runtime_error("cannot bind a loopback port");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

RawAnswerServer::~RawAnswerServer() { Stop(); }

void RawAnswerServer::Stop() {
  if (stopping_.exchange(true)) return;
  acceptor_.join();
  ::close(listener_);
  for (std::thread& connection : connections_) connection.join();
}

void RawAnswerServer::Accept() {
  while (Readable(listener_, stopping_, Clock::time_point::max())) {
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, socket] { Answer(socket); });
  }
}

void RawAnswerServer::Answer(int socket) {
  std::string head;
  char piece[4096];
  while (head.find("\r\n\r\n") == std::string::npos &&
         Readable(socket, stopping_, Clock::now() + std::chrono::seconds(10))) {
    const ssize_t got = ::recv(socket, piece, sizeof piece, 0);
    if (got <= 0) break;
    head.append(piece, static_cast<std::size_t>(got));
  }
  context_.AddLine("requests", head.substr(0, head.find("\r\n")));
  const std::string answer = context_.Get("answer");
  for (std::size_t sent = 0; sent < answer.size();) {
    const ssize_t wrote = ::send(socket, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) break;
    sent += static_cast<std::size_t>(wrote);
  }
  // Held open: whatever the client still sends is read until it closes.
  const auto until = Clock::now() + std::chrono::milliseconds(std::stoi(context_.Get("hold-ms", "0")));
  bool closedByClient = false;
  while (!closedByClient && Readable(socket, stopping_, until)) {
    closedByClient = ::recv(socket, piece, sizeof piece, 0) <= 0;
  }
  context_.AddLine("closed", closedByClient ? "client" : "server");
  ::close(socket);
}

}  // namespace tandrel::test

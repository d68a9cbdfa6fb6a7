// The Windows side of LoopbackServer: the loopback host, a Linux program that
// ctest starts beside Wine, runs the server; this only asks it over loopback, with
// plain sockets, so a fault in the box's own HTTP client cannot hide in the tests'
// means of checking it.
#include "support/LoopbackServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>

namespace tandrel::test {
namespace {

struct Answer {
  int status = 0;
  std::string body;
};

// The host's control port, from the environment the test driver sets.
int HostPort() {
  const char* host = std::getenv("TANDREL_LOOPBACK_HOST_PORT");
  if (!host || !*host) {
    throw std::runtime_error(
        "No loopback host: TANDREL_LOOPBACK_HOST_PORT is not set. Run the Windows tests through ctest, which starts "
        "the host.");
  }
  return std::atoi(host);
}

class Socket {
 public:
  Socket() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  }
  ~Socket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    WSACleanup();
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  void Connect(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (socket_ == INVALID_SOCKET || connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      throw std::runtime_error("Cannot reach the loopback host on port " + std::to_string(port));
    }
  }
  void Send(const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
      const int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
      if (n <= 0) throw std::runtime_error("The loopback host stopped listening");
      sent += static_cast<std::size_t>(n);
    }
  }
  std::string ReceiveAll() {
    std::string bytes;
    char buffer[65536];
    for (int n; (n = recv(socket_, buffer, sizeof buffer, 0)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

// One request, closed after its answer, so the answer ends where the stream does.
Answer Control(const std::string& method, const std::string& path, const std::string& body = "") {
  Socket socket;
  socket.Connect(HostPort());
  socket.Send(method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: " +
              std::to_string(body.size()) + "\r\n\r\n" + body);
  const std::string answer = socket.ReceiveAll();
  const std::size_t headEnd = answer.find("\r\n\r\n");
  if (answer.size() < 12 || headEnd == std::string::npos) throw std::runtime_error("No answer from the loopback host");
  Answer result{std::atoi(answer.c_str() + 9), answer.substr(headEnd + 4)};
  if (result.status >= 300) {
    throw std::runtime_error("The loopback host refused " + method + " " + path + ": " + result.body);
  }
  return result;
}

}  // namespace

class LoopbackServer::Impl {
 public:
  explicit Impl(int port) : port_(port) {}
  int port() const { return port_; }
  std::string ValuePath(const std::string& name) const {
    return "/servers/" + std::to_string(port_) + "/values/" + name;
  }

 private:
  int port_;
};

LoopbackServer::LoopbackServer(const std::string& routes, std::chrono::seconds limit)
    : impl_(std::make_unique<Impl>(
          std::stoi(Control("POST", "/servers?routes=" + routes + "&limit=" + std::to_string(limit.count())).body))) {}

LoopbackServer::~LoopbackServer() {
  try {
    Control("DELETE", "/servers/" + std::to_string(port()));
  } catch (const std::exception&) {
    // Its time limit ends it all the same.
  }
}

int LoopbackServer::port() const { return impl_->port(); }

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port()) + path;
}

void LoopbackServer::Set(const std::string& name, const std::string& value) {
  Control("POST", impl_->ValuePath(name), value);
}

std::string LoopbackServer::Get(const std::string& name) { return Control("GET", impl_->ValuePath(name)).body; }

std::string LoopbackServer::Take(const std::string& name) {
  return Control("GET", impl_->ValuePath(name) + "?take=1").body;
}

std::string UnreachableUrl(const std::string& path) { return LoopbackServer("none").Url(path); }

}  // namespace tandrel::test

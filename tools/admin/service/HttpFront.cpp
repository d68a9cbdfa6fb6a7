#include "HttpFront.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tandrel::admin {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// cpp-httplib's request parser and answer writer, reached without its accept loop.
struct Engine : httplib::Server {
  using httplib::Server::process_request;
  // cpp-httplib streams file answers only while it believes it listens; stopping
  // cuts them off, as its own stop() does.
  void SetListening(int fd) { svr_sock_ = fd; }
};

int MillisecondsUntil(Clock::time_point when) {
  const auto left = std::chrono::ceil<milliseconds>(when - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

// Waits at most timeout for the socket to be ready for events.
bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  const auto until = Clock::now() + milliseconds(timeoutMs);
  for (;;) {
    const int r = ::poll(&p, 1, timeoutMs);
    if (r > 0) return true;
    if (r == 0 || errno != EINTR) return false;
    timeoutMs = MillisecondsUntil(until);
  }
}

// "1.2.3.4" (also for an IPv4 client of an IPv6 socket) or "2001:db8::1".
std::string AddressText(const sockaddr_storage& address, int& port) {
  char text[INET6_ADDRSTRLEN] = "?";
  port = -1;
  if (address.ss_family == AF_INET) {
    const auto& a = reinterpret_cast<const sockaddr_in&>(address);
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    port = ntohs(a.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& a = reinterpret_cast<const sockaddr_in6&>(address);
    if (IN6_IS_ADDR_V4MAPPED(&a.sin6_addr)) ::inet_ntop(AF_INET, &a.sin6_addr.s6_addr[12], text, sizeof text);
    else ::inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
    port = ntohs(a.sin6_port);
  }
  return text;
}

// A short answer of the front's own to a connection it is about to close; whatever
// the client sent is read away first, so the close sends the answer and a FIN, not a reset.
void SendAndDrain(int fd, const char* status) {
  const std::string answer = std::string("HTTP/1.1 ") + status + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
  (void)::send(fd, answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  ::shutdown(fd, SHUT_WR);
  char sink[4096];
  for (int i = 0; i < 16 && ::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0; ++i) {
  }
}

struct Peer;

struct Conn {
  enum class State { kHead, kQueued, kBusy };
  int fd = -1;
  Peer* peer = nullptr;
  std::string ip, localIp;
  int port = -1, localPort = -1;
  State state = State::kHead;
  bool armed = false;      // watched by epoll
  bool headBegun = false;  // some byte of the awaited head has arrived
  bool timed = false;
  std::multimap<Clock::time_point, Conn*>::iterator timer;
  std::size_t headLength = 0;
  std::size_t served = 0;
  bool keep = false;  // the worker's verdict: the connection may carry another request
};

struct Peer {
  std::string address;
  int connections = 0;
  int busy = 0;
  std::deque<Conn*> ready;  // complete requests waiting for this address's turn
  bool refusalLogged = false;
};

// One request's connection as cpp-httplib's parser sees it: the head, already taken
// out of the socket, then the socket itself under the read and write time limits.
class ConnStream final : public httplib::Stream {
 public:
  ConnStream(const Conn& conn, std::string head, Clock::time_point readDeadline, milliseconds writeTimeout)
      : conn_(conn), head_(std::move(head)), readDeadline_(readDeadline), writeTimeout_(writeTimeout) {}

  bool is_readable() const override {
    return at_ < head_.size() || WaitFor(conn_.fd, POLLIN, MillisecondsUntil(readDeadline_));
  }
  bool is_writable() const override { return WaitFor(conn_.fd, POLLOUT, static_cast<int>(writeTimeout_.count())); }

  ssize_t read(char* ptr, size_t size) override {
    if (at_ < head_.size()) {
      const std::size_t n = std::min(size, head_.size() - at_);
      std::memcpy(ptr, head_.data() + at_, n);
      at_ += n;
      return static_cast<ssize_t>(n);
    }
    for (;;) {
      const ssize_t n = ::recv(conn_.fd, ptr, size, 0);
      if (n >= 0) return n;
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
      if (!WaitFor(conn_.fd, POLLIN, MillisecondsUntil(readDeadline_))) return -1;
    }
  }

  ssize_t write(const char* ptr, size_t size) override {
    for (;;) {
      const ssize_t n = ::send(conn_.fd, ptr, size, MSG_NOSIGNAL);
      if (n >= 0) return n;
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
      if (!is_writable()) return -1;
    }
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    ip = conn_.ip;
    port = conn_.port;
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    ip = conn_.localIp;
    port = conn_.localPort;
  }
  socket_t socket() const override { return conn_.fd; }

 private:
  const Conn& conn_;
  std::string head_;
  std::size_t at_ = 0;
  Clock::time_point readDeadline_;
  milliseconds writeTimeout_;
};

}  // namespace

void RaiseOpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  (void)::setrlimit(RLIMIT_NOFILE, &limit);
}

struct HttpFront::Impl {
  const ServiceLimits limits;
  const Log log;
  Engine engine;
  std::function<void(httplib::Request&)> setup;

  int listenFd = -1;
  int epollFd = -1;
  int wakeFd = -1;  // Stop and the workers' finished requests wake the front
  std::atomic<bool> stopRequested{false};

  // The front thread's alone.
  std::unordered_map<int, std::unique_ptr<Conn>> conns;
  std::unordered_map<std::string, Peer> peers;
  std::multimap<Clock::time_point, Conn*> timers;
  std::size_t maxConnections = 0;
  bool fullLogged = false;
  bool acceptPaused = false;
  Clock::time_point acceptResumes;
  std::vector<char> peek;

  // Between the front and the workers.
  std::mutex mutex;
  std::condition_variable jobReady;
  std::deque<Conn*> jobs;
  std::vector<Conn*> finished;
  bool workersStop = false;
  std::atomic<bool> closing{false};  // answers in progress end their connections

  // Markers for the two descriptors that are no connection.
  char listenTag = 0, wakeTag = 0;

  Impl(const ServiceLimits& l, Log lg) : limits(l), log(std::move(lg)) {
    epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epollFd < 0 || wakeFd < 0)
      throw std::runtime_error(std::string("cannot watch connections: ") + std::strerror(errno));
    peek.resize(limits.headMaxBytes + 1);
  }

  ~Impl() {
    for (const int fd : {listenFd, epollFd, wakeFd}) {
      if (fd >= 0) ::close(fd);
    }
  }

  void Wake() {
    const std::uint64_t one = 1;
    (void)!::write(wakeFd, &one, sizeof one);
  }

  // --- Deadlines -----------------------------------------------------------

  void SetDeadline(Conn& c, Clock::time_point when) {
    ClearDeadline(c);
    c.timer = timers.emplace(when, &c);
    c.timed = true;
  }
  void ClearDeadline(Conn& c) {
    if (c.timed) timers.erase(c.timer);
    c.timed = false;
  }

  // --- Connections ---------------------------------------------------------

  void Arm(Conn& c) {
    // Edge-triggered: the head is only peeked at, so a level-triggered watch would
    // fire without end; every arrival of bytes brings a new event.
    epoll_event e{};
    e.events = EPOLLIN | EPOLLRDHUP | EPOLLET;
    e.data.ptr = &c;
    if (::epoll_ctl(epollFd, EPOLL_CTL_ADD, c.fd, &e) == 0) c.armed = true;
  }
  void Disarm(Conn& c) {
    if (c.armed) ::epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
    c.armed = false;
  }

  void Close(Conn& c) {
    Disarm(c);
    ClearDeadline(c);
    Peer* peer = c.peer;
    const int fd = c.fd;
    conns.erase(fd);  // c is gone from here on
    ::close(fd);
    if (--peer->connections == 0) peers.erase(peer->address);
  }

  void Accept() {
    for (;;) {
      sockaddr_storage address{};
      socklen_t length = sizeof address;
      const int fd = ::accept4(listenFd, reinterpret_cast<sockaddr*>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          // Out of descriptors: leave the waiting connections in the backlog a moment
          // instead of spinning on a listening socket that stays readable.
          if (!acceptPaused) log(std::string("cannot accept connections for now: ") + std::strerror(errno));
          epoll_event e{};
          e.data.ptr = &listenTag;
          ::epoll_ctl(epollFd, EPOLL_CTL_MOD, listenFd, &e);
          acceptPaused = true;
          acceptResumes = Clock::now() + milliseconds(100);
        }
        return;  // EAGAIN: all taken
      }
      int port = -1;
      const std::string ip = AddressText(address, port);
      Peer& peer = peers.try_emplace(ip).first->second;
      peer.address = ip;
      if (peer.connections >= limits.connectionsPerAddress || conns.size() >= maxConnections) {
        if (peer.connections >= limits.connectionsPerAddress && !peer.refusalLogged) {
          log(ip + ": " + std::to_string(peer.connections) +
              " connections open from this address, the most allowed; further ones get 503 until some end");
          peer.refusalLogged = true;
        } else if (peer.connections < limits.connectionsPerAddress && !fullLogged) {
          log(std::to_string(conns.size()) +
              " connections open, the most allowed; further ones get 503 until some end");
          fullLogged = true;
        }
        SendAndDrain(fd, "503 Service Unavailable");
        ::close(fd);
        if (peer.connections == 0) peers.erase(ip);
        continue;
      }
      if (conns.size() < maxConnections * 3 / 4) fullLogged = false;

      auto conn = std::make_unique<Conn>();
      Conn& c = *conn;
      c.fd = fd;
      c.peer = &peer;
      c.ip = ip;
      c.port = port;
      sockaddr_storage local{};
      socklen_t localLength = sizeof local;
      if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0)
        c.localIp = AddressText(local, c.localPort);
      // Small answers on kept-alive connections: without this, Nagle's algorithm and
      // delayed acknowledgements hold each one back for tens of milliseconds.
      const int yes = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      ++peer.connections;
      conns.emplace(fd, std::move(conn));
      SetDeadline(c, Clock::now() + limits.headDeadline);
      Arm(c);
    }
  }

  // Bytes arrived (or the client went away) on a connection awaiting its request head.
  void OnReadable(Conn& c, std::uint32_t events) {
    if (c.state != Conn::State::kHead) return;
    const ssize_t n = ::recv(c.fd, peek.data(), peek.size(), MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return Close(c);  // the client closed
    if (n < 0) {
      if ((errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) && !(events & (EPOLLHUP | EPOLLERR))) return;
      return Close(c);
    }
    const std::string_view seen(peek.data(), std::min<std::size_t>(static_cast<std::size_t>(n), limits.headMaxBytes));
    const std::size_t end = seen.find("\r\n\r\n");
    if (end != std::string_view::npos) {
      c.headLength = end + 4;
      return Dispatch(c);
    }
    if (static_cast<std::size_t>(n) > limits.headMaxBytes) {
      log(c.ip + " \"-\" 431 0 (request head over " + std::to_string(limits.headMaxBytes) + " bytes)");
      SendAndDrain(c.fd, "431 Request Header Fields Too Large");
      return Close(c);
    }
    if (!c.headBegun) {
      c.headBegun = true;
      // A kept-alive connection's next head has its full time from its first byte.
      if (c.served > 0) SetDeadline(c, Clock::now() + limits.headDeadline);
    }
    // The client will send no more, and what it sent is no whole request.
    if (events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) Close(c);
  }

  void Expire(Conn& c) {
    if (c.headBegun) {
      log(c.ip + " \"-\" 408 0 (request head not complete after " + std::to_string(limits.headDeadline.count()) +
          " ms)");
      SendAndDrain(c.fd, "408 Request Timeout");
    }
    Close(c);  // a kept-alive or a new connection that never spoke ends quietly
  }

  // The head is whole: a worker answers it, or it waits for its address's turn.
  void Dispatch(Conn& c) {
    Disarm(c);
    ClearDeadline(c);
    if (c.peer->busy < limits.busyPerAddress) {
      Start(c);
    } else {
      c.state = Conn::State::kQueued;
      c.peer->ready.push_back(&c);
    }
  }

  void Start(Conn& c) {
    ++c.peer->busy;
    c.state = Conn::State::kBusy;
    {
      std::lock_guard lock(mutex);
      jobs.push_back(&c);
    }
    jobReady.notify_one();
  }

  void OnFinished(Conn& c) {
    Peer& peer = *c.peer;
    --peer.busy;
    while (peer.busy < limits.busyPerAddress && !peer.ready.empty()) {
      Conn* next = peer.ready.front();
      peer.ready.pop_front();
      Start(*next);
    }
    if (!c.keep || stopRequested) return Close(c);
    c.state = Conn::State::kHead;
    c.headBegun = false;
    SetDeadline(c, Clock::now() + limits.keepAliveIdle);
    Arm(c);  // a next request already there is reported at once
  }

  void TakeFinished() {
    std::uint64_t count;
    (void)!::read(wakeFd, &count, sizeof count);
    std::vector<Conn*> done;
    {
      std::lock_guard lock(mutex);
      done.swap(finished);
    }
    for (Conn* c : done) OnFinished(*c);
  }

  // --- Workers -------------------------------------------------------------

  void Work() {
    for (;;) {
      Conn* c;
      {
        std::unique_lock lock(mutex);
        jobReady.wait(lock, [&] { return !jobs.empty() || workersStop; });
        if (jobs.empty()) return;
        c = jobs.front();
        jobs.pop_front();
      }
      c->keep = false;
      try {
        Answer(*c);
      } catch (const std::exception& e) {
        log(std::string("error: ") + e.what());
      }
      {
        std::lock_guard lock(mutex);
        finished.push_back(c);
      }
      Wake();
    }
  }

  void Answer(Conn& c) {
    // The whole head is in the socket (the front saw it): take exactly it, and leave
    // a pipelined next request where it is.
    std::string head(c.headLength, '\0');
    std::size_t got = 0;
    const auto deadline = Clock::now() + limits.readWriteTimeout;
    while (got < head.size()) {
      const ssize_t n = ::recv(c.fd, head.data() + got, head.size() - got, 0);
      if (n > 0) {
        got += static_cast<std::size_t>(n);
      } else if (n < 0 && (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                                              WaitFor(c.fd, POLLIN, MillisecondsUntil(deadline))))) {
        continue;
      } else {
        return;
      }
    }
    ConnStream stream(c, std::move(head), Clock::now() + limits.readWriteTimeout, limits.readWriteTimeout);
    const bool last = closing || c.served + 1 >= limits.keepAliveMaxRequests;
    ++c.served;
    bool closed = false;
    const bool answered = engine.process_request(stream, last, closed, setup);
    c.keep = answered && !closed && !last;
  }

  // --- The front -----------------------------------------------------------

  void Loop() {
    std::vector<epoll_event> events(256);
    while (!stopRequested) {
      int timeout = -1;
      if (!timers.empty()) timeout = MillisecondsUntil(timers.begin()->first);
      if (acceptPaused) {
        const int resume = MillisecondsUntil(acceptResumes);
        timeout = timeout < 0 ? resume : std::min(timeout, resume);
      }
      const int n = ::epoll_wait(epollFd, events.data(), static_cast<int>(events.size()), timeout);
      if (n < 0 && errno != EINTR) throw std::runtime_error(std::string("epoll_wait: ") + std::strerror(errno));
      for (int i = 0; i < n; ++i) {
        void* tag = events[i].data.ptr;
        if (tag == &listenTag) Accept();
        else if (tag == &wakeTag) TakeFinished();
        else OnReadable(*static_cast<Conn*>(tag), events[i].events);
      }
      const auto now = Clock::now();
      while (!timers.empty() && timers.begin()->first <= now) Expire(*timers.begin()->second);
      if (acceptPaused && now >= acceptResumes) {
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.ptr = &listenTag;
        ::epoll_ctl(epollFd, EPOLL_CTL_MOD, listenFd, &e);
        acceptPaused = false;
        Accept();
      }
    }
  }

  void Run() {
    if (listenFd < 0) throw std::logic_error("Run before Bind");
    if (stopRequested) return;
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    const std::size_t reserve =
        static_cast<std::size_t>(limits.workers) + 64;  // files being sent, logs, the service's own
    const std::size_t available = files.rlim_cur == RLIM_INFINITY ? std::size_t{1} << 20 : files.rlim_cur;
    maxConnections = std::max<std::size_t>(16, available > reserve ? available - reserve : 0);

    epoll_event e{};
    e.events = EPOLLIN;
    e.data.ptr = &listenTag;
    ::epoll_ctl(epollFd, EPOLL_CTL_ADD, listenFd, &e);
    e.data.ptr = &wakeTag;
    ::epoll_ctl(epollFd, EPOLL_CTL_ADD, wakeFd, &e);
    engine.SetListening(listenFd);

    std::vector<std::thread> workers;
    for (int i = 0; i < limits.workers; ++i) workers.emplace_back([this] { Work(); });
    try {
      Loop();
    } catch (const std::exception& ex) {
      log(std::string("error: ") + ex.what());
    }

    // Stop: no new connections, waiting ones closed, answers in progress cut short.
    closing = true;
    engine.SetListening(INVALID_SOCKET);
    ::epoll_ctl(epollFd, EPOLL_CTL_DEL, listenFd, nullptr);
    ::close(listenFd);
    listenFd = -1;
    {
      std::lock_guard lock(mutex);
      workersStop = true;
    }
    jobReady.notify_all();
    for (auto& w : workers) w.join();
    for (auto& [_, peer] : peers) peer.ready.clear();
    while (!conns.empty()) Close(*conns.begin()->second);
    timers.clear();
  }

  int Bind(const std::string& address, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(address.empty() ? nullptr : address.c_str(), service.c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* ai = found; ai; ai = ai->ai_next) {
      fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
      if (fd < 0) continue;
      const int yes = 1;
      ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
      // A deep backlog: a flood of connections must not crowd a real one out before accept.
      if (::bind(fd, ai->ai_addr, ai->ai_addrlen) == 0 && ::listen(fd, SOMAXCONN) == 0) break;
      ::close(fd);
      fd = -1;
    }
    ::freeaddrinfo(found);
    if (fd < 0) return -1;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    int boundPort = -1;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) == 0) AddressText(bound, boundPort);
    if (listenFd >= 0) ::close(listenFd);
    listenFd = fd;
    return boundPort;
  }
};

HttpFront::HttpFront(const ServiceLimits& limits, Log log) : impl_(std::make_unique<Impl>(limits, std::move(log))) {
  impl_->engine.set_keep_alive_max_count(limits.keepAliveMaxRequests);
  impl_->engine.set_keep_alive_timeout(std::max<time_t>(1, limits.keepAliveIdle.count() / 1000));
  impl_->engine.set_payload_max_length(64 * 1024);  // the service takes no uploads
}

HttpFront::~HttpFront() = default;

httplib::Server& HttpFront::http() { return impl_->engine; }

void HttpFront::SetRequestSetup(std::function<void(httplib::Request&)> setup) { impl_->setup = std::move(setup); }

int HttpFront::Bind(const std::string& address, int port) { return impl_->Bind(address, port); }

void HttpFront::Run() { impl_->Run(); }

void HttpFront::Stop() {
  impl_->stopRequested = true;
  impl_->Wake();
}

}  // namespace tandrel::admin

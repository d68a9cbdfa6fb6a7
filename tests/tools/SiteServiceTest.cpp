#include "SiteFolder.h"

#include "core/FileIo.h"
#include "core/Hex.h"
#include "core/ServerListLoader.h"
#include "core/crypto.h"
#include "core/http/SystemClient.h"
#include "platform/Crypto.h"

#include "support/RunningService.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <sstream>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using admin::SiteKeys;
using Clock = std::chrono::steady_clock;

const SiteKeys kKeys = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
                        {9, 9, 9, 9, 8, 8, 8, 8, 7, 7, 7, 7, 6, 6, 6, 6},
                        std::string(32, 'a'),
                        "0123456789abcdef0123456789abcdef",
                        {},
                        0};

std::string ListOf(const std::string& name) {
  return R"({"ServerList":{"FListHelper":[{"ServerName":")" + name + R"(","LauncherName":"game"}]}})";
}

int PortOf(const std::string& url) { return std::stoi(url.substr(url.rfind(':') + 1)); }

// A plain TCP connection to the service on 127.0.0.1, from a chosen loopback address.
class Raw {
 public:
  explicit Raw(int port, const char* from = "127.0.0.1") {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    connected_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
                 ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
  }
  Raw(Raw&& other) noexcept : fd_(std::exchange(other.fd_, -1)), connected_(other.connected_) {}
  Raw& operator=(Raw&&) = delete;
  ~Raw() {
    if (fd_ >= 0) ::close(fd_);
  }

  bool connected() const { return connected_; }
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  // What arrives until the service closes the connection (closed is then true) or
  // the timeout passes.
  std::string Read(std::chrono::milliseconds timeout, bool& closed) {
    std::string got;
    closed = false;
    const auto until = Clock::now() + timeout;
    while (!closed) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buffer[65536];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) closed = true;
      else got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  // True when the service has answered or closed: something to read, an end included.
  bool Spoke() const {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
  }

 private:
  int fd_;
  bool connected_ = false;
};

// One HTTP answer as it came over the wire.
struct Answer {
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  std::string Header(const std::string& name) const {
    const auto it = headers.find(name);
    return it == headers.end() ? "(none)" : it->second;
  }
};

// Takes the first whole answer off the front of the bytes received; nullopt while
// it is incomplete. A HEAD request's answer has no body, whatever its length says.
std::optional<Answer> TakeAnswer(std::string& received, bool headRequest = false) {
  const std::size_t end = received.find("\r\n\r\n");
  if (end == std::string::npos) return std::nullopt;
  Answer a;
  std::istringstream head(received.substr(0, end));
  std::string line;
  std::getline(head, line);
  a.status = std::stoi(line.substr(9, 3));
  while (std::getline(head, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t colon = line.find(':');
    std::string name = line.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    a.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
  }
  const std::size_t length = headRequest || !a.headers.count("content-length")
                                 ? 0
                                 : static_cast<std::size_t>(std::stoull(a.headers["content-length"]));
  if (received.size() < end + 4 + length) return std::nullopt;
  a.body = received.substr(end + 4, length);
  received.erase(0, end + 4 + length);
  return a;
}

// Sends one request that asks to close, and takes its whole answer; the length
// stated must be the length sent.
Answer Exchange(int port, const std::string& request, bool headRequest = false) {
  Raw raw(port);
  EXPECT_TRUE(raw.Send(request));
  bool closed = false;
  std::string received = raw.Read(10s, closed);
  EXPECT_TRUE(closed) << request;
  const std::size_t total = received.size();
  const auto answer = TakeAnswer(received, headRequest);
  if (!answer) {
    ADD_FAILURE() << "no whole answer to " << request << ": " << received;
    return {};
  }
  EXPECT_EQ(received, "") << "bytes beyond the stated length (" << total << " received) for " << request;
  return *answer;
}

// A small site folder laid out as the service expects it.
class SiteServiceTest : public ::testing::Test {
 protected:
  SiteServiceTest() {
    admin::WriteSiteConf(site_ / "site.conf", kKeys);
    test::WriteFile(site_ / "servers.json", ListOf("First"));
    test::WriteFile(site_ / "logo.png", "\x89PNG banner bytes");
    test::WriteFile(site_ / "box", "box version 1");
    fs::create_directory(site_ / "launchers");
    test::WriteFile(site_ / "launchers" / "game.exe", std::string(300000, 'g'));
    test::WriteFile(site_ / "secret.txt", "not for players");
  }

  http::Response Get(const std::string& path, bool authorized = false) {
    return client_.Get(service_->BaseUrl() + path,
                       authorized ? http::Headers{{"Authorization", kKeys.AuthHeaderValue()}} : http::Headers{});
  }
  std::vector<std::string> ServedNames() {
    const auto body = Get("", true).body;
    const TConfig config = ReadDocument(DecryptServerList(body, kKeys.key, kKeys.iv));
    std::vector<std::string> names;
    for (const auto& e : config.ServerList()) names.push_back(e.ServerName);
    return names;
  }
  static std::string Text(const http::Response& r) { return std::string(r.body.begin(), r.body.end()); }
  void Start(const std::string& basePath = "/", const admin::ServiceLimits& limits = {}) {
    service_.emplace(site_.path(), basePath, std::chrono::seconds(120), limits);
  }
  int Port() const { return PortOf(service_->BaseUrl()); }

  test::TempDir site_;
  http::SystemClient client_;
  std::optional<test::RunningService> service_;
};

TEST_F(SiteServiceTest, ServesTheListEncryptedOnlyWithTheSiteCredentials) {
  Start();
  EXPECT_EQ(Get("").status, 401);
  EXPECT_EQ(client_.Get(service_->BaseUrl(), {{"Authorization", admin::RandomSiteKeys().AuthHeaderValue()}}).status,
            401);
  const http::Response list = Get("", true);
  EXPECT_EQ(list.status, 200);
  EXPECT_EQ(list.body, EncryptServerList(ReadWholeFile(site_ / "servers.json"), kKeys.key, kKeys.iv));
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
}

TEST_F(SiteServiceTest, AnswersOkOnlyForTheCurrentBoxDigest) {
  Start();
  const std::string current = GetFileMd5((site_ / "box").string());
  EXPECT_EQ(Get("getcode/?hash=" + current).status, 401);
  EXPECT_EQ(Text(Get("getcode/?hash=" + current, true)), "ok");
  EXPECT_NE(Text(Get("getcode/?hash=" + std::string(32, '0'), true)), "ok");
  EXPECT_NE(Text(Get("getcode/?hash=", true)), "ok");

  test::WriteFile(site_ / "box", "box version 2, a new size");
  EXPECT_NE(Text(Get("getcode/?hash=" + current, true)), "ok");
  EXPECT_EQ(Text(Get("getcode/?hash=" + GetFileMd5((site_ / "box").string()), true)), "ok");
}

TEST_F(SiteServiceTest, ServesTheBannerTheBoxAndLaunchersButNothingElse) {
  Start();
  EXPECT_EQ(Text(Get("getvalue/logo.png")), "\x89PNG banner bytes");
  EXPECT_EQ(Text(Get("getvalue/box.exe")), "box version 1");
  const http::Response launcher = Get("getvalue/game.exe");
  EXPECT_EQ(launcher.status, 200);
  EXPECT_EQ(Text(launcher), std::string(300000, 'g'));

  fs::create_symlink(site_ / "secret.txt", site_ / "launchers" / "link.exe");
  test::TempDir outside;
  test::WriteFile(outside / "other.exe", "outside");
  fs::create_symlink(outside / "other.exe", site_ / "launchers" / "away.exe");
  for (const char* path : {"getvalue/missing.exe", "getvalue/..%2Fsecret.txt%00.exe", "getvalue/%2E%2E/box.exe",
                           "getvalue/..%2F..%2Fsecret.txt.exe", "getvalue/.exe", "getvalue/away.exe", "secret.txt",
                           "getvalue/", "site.conf"}) {
    const http::Response r = Get(path, true);
    EXPECT_EQ(r.status, 404) << path;
    EXPECT_EQ(Text(r).find("not for players"), std::string::npos) << path;
  }
  // A link out of launchers/ is not followed, even to a harmless file of the site.
  EXPECT_EQ(Get("getvalue/link.exe").status, 404);
}

TEST_F(SiteServiceTest, RereadsAChangedListAndKeepsTheLastGoodOne) {
  Start();
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  test::WriteFile(site_ / "servers.json", ListOf("Second, a longer name"));
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"Second, a longer name"});

  test::WriteFile(site_ / "servers.json", R"({"ServerList":[{"ServerName":"broken"}]})");
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"Second, a longer name"});
  bool refused = false;
  for (const auto& line : service_->Log())
    refused |= line.find("Unexpected type while read json array") != std::string::npos;
  EXPECT_TRUE(refused);
}

TEST_F(SiteServiceTest, RefusesToStartOnAListTheBoxWouldRefuse) {
  test::WriteFile(site_ / "servers.json", "[]");
  EXPECT_THROW(Start(), DocumentError);
}

TEST_F(SiteServiceTest, ServesBelowItsBasePath) {
  Start("/box/");
  EXPECT_TRUE(service_->BaseUrl().ends_with("/box/"));
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  EXPECT_EQ(client_.Get(service_->BaseUrl().substr(0, service_->BaseUrl().size() - 4) + "getvalue/logo.png").status,
            404);
}

TEST_F(SiteServiceTest, ServesManyPlayersAtOnce) {
  Start();
  const http::Bytes expected = Get("", true).body;
  std::atomic<int> good{0};
  std::vector<std::thread> players;
  for (int p = 0; p < 40; ++p) {
    players.emplace_back([&] {
      http::SystemClient own;
      for (int i = 0; i < 10; ++i) {
        const auto r = own.Get(service_->BaseUrl(), {{"Authorization", kKeys.AuthHeaderValue()}});
        if (r.status == 200 && r.body == expected) ++good;
      }
    });
  }
  for (auto& t : players) t.join();
  EXPECT_EQ(good, 400);
  // One line per request, written once its answer has gone out: the last may
  // still be on its way when the players are done.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (service_->Log().size() < 401u && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GE(service_->Log().size(), 401u);
}

TEST_F(SiteServiceTest, NeedsSiteConfOrAStampedBox) {
  fs::remove(site_ / "site.conf");
  EXPECT_THROW(admin::SiteFolder{site_.path()}, std::runtime_error);  // the plain "box" here is not stamped
}

// --- Links: only regular files inside the folder they belong to -------------------

TEST_F(SiteServiceTest, FollowsNoLinkOutOfTheLaunchersAndNeverGivesOutTheSecrets) {
  const fs::path launchers = site_ / "launchers";
  fs::create_symlink("../site.conf", launchers / "evil.exe");  // the issue's own link
  fs::create_symlink("/etc/passwd", launchers / "passwd.exe");
  fs::create_symlink("../servers.json", launchers / "list.exe");
  fs::create_hard_link(site_ / "site.conf", launchers / "hard.exe");  // no link to resolve, still the secrets
  fs::create_symlink("/etc", launchers / "folder.exe");
  fs::create_symlink("game.exe", launchers / "alias.exe");  // stays inside launchers/
  Start();
  for (const char* name : {"evil", "passwd", "list", "hard", "folder"}) {
    const http::Response r = Get("getvalue/" + std::string(name) + ".exe");
    EXPECT_EQ(r.status, 404) << name;
    EXPECT_EQ(Text(r).find("key ="), std::string::npos) << name;
    EXPECT_EQ(Text(r).find("root:"), std::string::npos) << name;
  }
  const http::Response alias = Get("getvalue/alias.exe");
  EXPECT_EQ(alias.status, 200);
  EXPECT_EQ(Text(alias), std::string(300000, 'g'));
}

TEST_F(SiteServiceTest, ServesNoLauncherThroughALinkedLaunchersFolder) {
  test::TempDir elsewhere;
  test::WriteFile(elsewhere / "game.exe", "a launcher kept outside the site");
  fs::create_symlink("../site.conf", elsewhere / "evil.exe");
  fs::remove_all(site_ / "launchers");
  fs::create_symlink(elsewhere.path(), site_ / "launchers");
  Start();
  EXPECT_EQ(Get("getvalue/game.exe").status, 404);
  EXPECT_EQ(Get("getvalue/evil.exe").status, 404);

  fs::remove(site_ / "launchers");
  fs::create_symlink(".", site_ / "launchers");  // the site folder itself
  test::WriteFile(site_ / "secret.exe", "not for players");
  EXPECT_EQ(Get("getvalue/secret.exe").status, 404);
}

TEST_F(SiteServiceTest, ServesTheBannerAndTheBoxOnlyAsThemselves) {
  test::TempDir elsewhere;
  test::WriteFile(elsewhere / "box", "a box kept outside the site");
  fs::remove(site_ / "logo.png");
  fs::create_symlink("site.conf", site_ / "logo.png");
  fs::remove(site_ / "box");
  fs::create_symlink(elsewhere / "box", site_ / "box");
  Start();
  const http::Response logo = Get("getvalue/logo.png");
  EXPECT_EQ(logo.status, 404);
  EXPECT_EQ(Text(logo).find("key ="), std::string::npos);
  EXPECT_EQ(Get("getvalue/box.exe").status, 404);
  // The box it will not serve is no current box either.
  EXPECT_EQ(Text(Get("getcode/?hash=" + GetFileMd5((elsewhere / "box").string()), true)), "update");
}

// --- Ranges ------------------------------------------------------------------------

TEST_F(SiteServiceTest, AnswersARangeCorrectlyOrWith416) {
  Start();
  const std::string banner = "\x89PNG banner bytes";  // 17 bytes
  const auto ask = [&](const std::string& path, const std::string& range, const char* method = "GET") {
    const std::string request =
        std::string(method) + " /" + path + " HTTP/1.1\r\nHost: x\r\nRange: " + range + "\r\nConnection: close\r\n\r\n";
    return Exchange(Port(), request, std::string(method) == "HEAD");
  };
  struct Case {
    const char* range;
    int status;
    const char* contentRange;
    std::string body;
  };
  const Case cases[] = {
      {"bytes=99999999-", 416, "bytes */17", ""},
      {"bytes=17-", 416, "bytes */17", ""},
      {"bytes=17-20", 416, "bytes */17", ""},
      {"bytes=-0", 416, "bytes */17", ""},
      {"bytes=2-5", 206, "bytes 2-5/17", banner.substr(2, 4)},
      {"bytes=10-", 206, "bytes 10-16/17", banner.substr(10)},
      {"bytes=-4", 206, "bytes 13-16/17", banner.substr(13)},
      {"bytes=-9999999999", 206, "bytes 0-16/17", banner},
      {"bytes=16-9999999999", 206, "bytes 16-16/17", banner.substr(16)},
      {"bytes=0-0", 206, "bytes 0-0/17", banner.substr(0, 1)},
      // Numbers beyond 64 bits: cpp-httplib refuses the header itself, before the service sees it.
      {"bytes=-99999999999999999999999", 416, "(none)", ""},
      {"bytes=0-1, 4-5", 200, "(none)", banner},  // several ranges: the whole file
  };
  for (const Case& c : cases) {
    const Answer a = ask("getvalue/logo.png", c.range);
    EXPECT_EQ(a.status, c.status) << c.range;
    EXPECT_EQ(a.Header("content-range"), c.contentRange) << c.range;
    EXPECT_EQ(a.Header("content-length"), std::to_string(c.body.size())) << c.range;
    EXPECT_EQ(a.body, c.body) << c.range;
  }
  const Answer tail = ask("getvalue/game.exe", "bytes=299990-");
  EXPECT_EQ(tail.status, 206);
  EXPECT_EQ(tail.Header("content-range"), "bytes 299990-299999/300000");
  EXPECT_EQ(tail.body, std::string(10, 'g'));
  const Answer head = ask("getvalue/box.exe", "bytes=99999999-", "HEAD");
  EXPECT_EQ(head.status, 416);
  EXPECT_EQ(head.Header("content-range"), "bytes */13");
  // The list is answered whole, whatever range is asked.
  const Answer list = Exchange(Port(), "GET / HTTP/1.1\r\nHost: x\r\nAuthorization: " + kKeys.AuthHeaderValue() +
                                           "\r\nRange: bytes=99999999-\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(list.status, 200);
  EXPECT_EQ(http::Bytes(list.body.begin(), list.body.end()), Get("", true).body);
}

// A client may ask for the rest of a file only while it is the same version: the
// strong ETag, or the Last-Modified date where that is strong.
TEST_F(SiteServiceTest, ARangeStandsOnlyForTheVersionItsIfRangeNames) {
  const fs::path launcher = site_ / "launchers" / "game.exe";
  fs::last_write_time(launcher, fs::file_time_type::clock::now() - std::chrono::hours(1));
  Start();
  const auto ask = [&](const std::string& ifRange) {
    return Exchange(Port(), "GET /getvalue/game.exe HTTP/1.1\r\nHost: x\r\nRange: bytes=299990-\r\n" +
                                (ifRange.empty() ? "" : "If-Range: " + ifRange + "\r\n") + "Connection: close\r\n\r\n");
  };
  const Answer whole = Exchange(Port(), "GET /getvalue/game.exe HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  const std::string etag = whole.Header("etag"), date = whole.Header("last-modified");
  const std::string content(300000, 'g');
  const auto sha = platform::MakeSha256();
  sha->Update(std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
  EXPECT_EQ(etag, '"' + ToHex(sha->Finish()) + '"');
  EXPECT_TRUE(date.ends_with(" GMT")) << date;

  const struct {
    std::string ifRange;
    int status;
  } cases[] = {
      {"", 206},                                  // no condition
      {etag, 206},                                // this version
      {"\"" + std::string(64, '0') + "\"", 200},  // another version: the whole file
      {"W/" + etag, 200},                         // a weak tag never lets a range stand
      {date, 206},                                // the date, an hour old: strong
      {"Sun, 06 Nov 1994 08:49:37 GMT", 200},
  };
  for (const auto& c : cases) {
    const Answer a = ask(c.ifRange);
    EXPECT_EQ(a.status, c.status) << c.ifRange;
    EXPECT_EQ(a.body.size(), c.status == 206 ? 10u : 300000u) << c.ifRange;
    EXPECT_EQ(a.Header("etag"), etag) << c.ifRange;
  }

  // Rewritten in place with its size and time kept: another tag, and the old one asks for the whole.
  const auto modified = fs::last_write_time(launcher);
  test::WriteFile(launcher, std::string(300000, 'h'));
  fs::last_write_time(launcher, modified);
  const Answer changed = ask(etag);
  EXPECT_EQ(changed.status, 200);
  EXPECT_NE(changed.Header("etag"), etag);
  EXPECT_EQ(changed.body, std::string(300000, 'h'));

  // A file just written has no strong date yet: its date asks for the whole file.
  test::WriteFile(site_ / "box", "box version 2");
  const Answer box = Exchange(Port(), "GET /getvalue/box.exe HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Exchange(Port(), "GET /getvalue/box.exe HTTP/1.1\r\nHost: x\r\nRange: bytes=4-\r\nIf-Range: " +
                                 box.Header("last-modified") + "\r\nConnection: close\r\n\r\n")
                .status,
            200);
}

// --- The list cache ----------------------------------------------------------------

void RewriteKeepingSizeAndTime(const fs::path& file, const std::string& bytes) {
  const auto modified = fs::last_write_time(file);
  ASSERT_EQ(fs::file_size(file), bytes.size());
  test::WriteFile(file, bytes);  // in place: the same inode
  fs::last_write_time(file, modified);
}

TEST_F(SiteServiceTest, SeesAListRewrittenWithItsSizeAndTimeKept) {
  Start();
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  RewriteKeepingSizeAndTime(site_ / "servers.json", ListOf("Other"));
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"Other"});
}

TEST_F(SiteServiceTest, SeesAnOldListRewrittenWithItsSizeAndTimeKept) {
  // Long after the list was written, its stamp is trusted: only the change time tells.
  std::this_thread::sleep_for(2200ms);
  Start();
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  RewriteKeepingSizeAndTime(site_ / "servers.json", ListOf("Other"));
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"Other"});
}

TEST_F(SiteServiceTest, SeesABoxRewrittenWithItsSizeAndTimeKept) {
  Start();
  const std::string first = GetFileMd5((site_ / "box").string());
  EXPECT_EQ(Text(Get("getcode/?hash=" + first, true)), "ok");
  RewriteKeepingSizeAndTime(site_ / "box", "box version 9");
  EXPECT_EQ(Text(Get("getcode/?hash=" + first, true)), "update");
  EXPECT_EQ(Text(Get("getcode/?hash=" + GetFileMd5((site_ / "box").string()), true)), "ok");
}

// --- Slow clients ------------------------------------------------------------------

TEST_F(SiteServiceTest, SlowClientsDoNotHoldUpARealRequest) {
  Start();
  // 200 connections from 127.0.0.2 that send their request head one byte at a time:
  // more than the service has workers (64) and more than one address may hold (128).
  std::vector<Raw> slow;
  for (int i = 0; i < 200; ++i) {
    slow.emplace_back(Port(), "127.0.0.2");
    ASSERT_TRUE(slow.back().connected()) << i;
    slow.back().Send("G");
  }
  std::atomic<bool> done{false};
  std::thread trickle([&] {
    const std::string more = "ET / HTTP/1.1\r\nX-Slow: ";
    for (std::size_t i = 0; !done; ++i) {
      for (Raw& r : slow) r.Send(std::string(1, i < more.size() ? more[i] : 'x'));
      for (int t = 0; t < 6 && !done; ++t) std::this_thread::sleep_for(50ms);
    }
  });
  std::this_thread::sleep_for(1s);

  http::SystemClient real;
  real.SetTimeouts({.connect = 10s, .stall = 10s, .window = 10s, .minBytesPerWindow = 1, .deadline = 10s});
  const auto start = Clock::now();
  http::Response list;
  try {
    list = real.Get(service_->BaseUrl(), {{"Authorization", kKeys.AuthHeaderValue()}});
  } catch (const http::Error& e) {
    ADD_FAILURE() << "the real request failed: " << e.what();
  }
  const auto took = Clock::now() - start;
  int held = 0;
  for (const Raw& r : slow) held += r.Spoke() ? 0 : 1;
  done = true;
  trickle.join();

  EXPECT_EQ(list.status, 200);
  EXPECT_LT(took, 3s) << "the real request took " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
                      << " ms";
  EXPECT_GT(held, 64) << "the slow connections did not outnumber the workers";
}

TEST_F(SiteServiceTest, CapsTheConnectionsOfOneAddress) {
  admin::ServiceLimits limits;
  limits.connectionsPerAddress = 20;
  Start("/", limits);
  std::vector<Raw> held;
  for (int i = 0; i < 20; ++i) {
    held.emplace_back(Port(), "127.0.0.2");
    held.back().Send("GET /");
  }
  Raw over(Port(), "127.0.0.2");
  bool closed = false;
  const std::string refused = over.Read(3s, closed);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(refused.starts_with("HTTP/1.1 503")) << refused;
  int quiet = 0;
  for (const Raw& r : held) quiet += r.Spoke() ? 0 : 1;
  EXPECT_EQ(quiet, 20);

  // Another address is served as ever; and once a connection ends, the address may open one again.
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  held.pop_back();
  std::this_thread::sleep_for(300ms);
  const Answer again = [&] {
    Raw r(Port(), "127.0.0.2");
    r.Send("GET /getvalue/logo.png HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    std::string received = r.Read(5s, closed);
    return TakeAnswer(received).value_or(Answer{});
  }();
  EXPECT_EQ(again.status, 200);
  bool logged = false;
  for (const auto& line : service_->Log()) logged |= line.starts_with("127.0.0.2: 20 connections open");
  EXPECT_TRUE(logged);
}

TEST_F(SiteServiceTest, EndsARequestHeadThatOutlastsItsDeadline) {
  admin::ServiceLimits limits;
  limits.headDeadline = 1s;
  Start("/", limits);
  // A byte every 100 ms, steadily, never the whole head.
  Raw slow(Port());
  const auto start = Clock::now();
  const std::string trickle = "GET / HTTP/1.1\r\nX-Slow: xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
  std::string answer;
  bool closed = false;
  for (std::size_t i = 0; i < trickle.size() && !closed; ++i) {
    slow.Send(std::string(1, trickle[i]));
    answer += slow.Read(100ms, closed);
  }
  const auto took = Clock::now() - start;
  EXPECT_TRUE(closed);
  EXPECT_TRUE(answer.starts_with("HTTP/1.1 408")) << answer;
  EXPECT_GE(took, 900ms);
  EXPECT_LT(took, 3s);

  // A connection that never speaks ends quietly at the deadline.
  Raw silent(Port());
  EXPECT_EQ(silent.Read(3s, closed), "");
  EXPECT_TRUE(closed);

  // A head that comes whole in time is answered, in however many pieces.
  Raw pieces(Port());
  pieces.Send("GET /getvalue/logo.png HTTP/1.1\r\n");
  std::this_thread::sleep_for(300ms);
  pieces.Send("Host: x\r\n");
  std::this_thread::sleep_for(300ms);
  pieces.Send("Connection: close\r\n\r\n");
  std::string received = pieces.Read(5s, closed);
  const auto banner = TakeAnswer(received);
  ASSERT_TRUE(banner);
  EXPECT_EQ(banner->status, 200);
  EXPECT_EQ(banner->body, "\x89PNG banner bytes");
}

TEST_F(SiteServiceTest, AnswersPipelinedRequestsAndEndsAnIdleConnection) {
  admin::ServiceLimits limits;
  limits.keepAliveIdle = 1s;
  Start("/", limits);
  Raw c(Port());
  c.Send(
      "GET /getvalue/logo.png HTTP/1.1\r\nHost: x\r\n\r\n"
      "GET /getcode/?hash=00 HTTP/1.1\r\nHost: x\r\nAuthorization: " +
      kKeys.AuthHeaderValue() + "\r\n\r\n");
  std::string received;
  bool closed = false;
  std::vector<Answer> answers;
  for (const auto until = Clock::now() + 5s; answers.size() < 2 && !closed && Clock::now() < until;) {
    received += c.Read(100ms, closed);
    while (auto a = TakeAnswer(received)) answers.push_back(*a);
  }
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].body, "\x89PNG banner bytes");
  EXPECT_EQ(answers[1].body, "update");

  std::this_thread::sleep_for(300ms);  // kept alive for a later request
  c.Send("GET /getvalue/box.exe HTTP/1.1\r\nHost: x\r\n\r\n");
  for (const auto until = Clock::now() + 5s; answers.size() < 3 && !closed && Clock::now() < until;) {
    received += c.Read(100ms, closed);
    while (auto a = TakeAnswer(received)) answers.push_back(*a);
  }
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[2].body, "box version 1");

  const auto idle = Clock::now();
  EXPECT_EQ(c.Read(4s, closed), "");
  EXPECT_TRUE(closed);
  EXPECT_LT(Clock::now() - idle, 3s);
}

// --- The log -------------------------------------------------------------------------

TEST_F(SiteServiceTest, LogsNoControlCharacters) {
  Start();
  test::WriteFile(site_ / "servers.json", R"({"ServerList":{"\u001b]0;pwned\u0007\u001b[2J":1}})");
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  Exchange(Port(), "GET /\x1b[2J\x9b HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  bool refusal = false;
  for (const auto& line : service_->Log()) {
    refusal |= line.find("'\\x1b]0;pwned\\x07\\x1b[2J'") != std::string::npos;
    for (const char c : line) EXPECT_FALSE(static_cast<unsigned char>(c) < 32 || c == 127) << line;
    EXPECT_EQ(line.find('\x9b'), std::string::npos) << line;
  }
  EXPECT_TRUE(refusal);
}

}  // namespace
}  // namespace tandrel

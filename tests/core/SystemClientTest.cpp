#include "core/http/SystemClient.h"

#include "support/LoopbackServer.h"
#include "support/QueueDispatcher.h"
#include "support/routes/PatternBody.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace tandrel::http {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::QueueDispatcher;

std::string Text(const Bytes& body) { return std::string(body.begin(), body.end()); }

class SystemClientTest : public ::testing::Test {
 protected:
  std::string Url(const std::string& path) const { return server_.Url(path); }

  LoopbackServer server_{"http-client"};
  QueueDispatcher dispatcher_;
};

TEST_F(SystemClientTest, SendsUserAgentAlwaysAndAuthorizationOnlyWhenAsked) {
  SystemClient client;
  EXPECT_EQ(Text(client.Get(Url("/headers")).body), "UA=Embarcadero URI Client/1.0\nAUTH=\nHAS_AUTH=0");
  EXPECT_EQ(Text(client.Get(Url("/headers"), {{"Authorization", "Basic YTpi"}}).body),
            "UA=Embarcadero URI Client/1.0\nAUTH=Basic YTpi\nHAS_AUTH=1");
}

TEST_F(SystemClientTest, FollowsFiveRedirectsAndFailsOnTheSixth) {
  SystemClient client;
  const Response five = client.Get(Url("/redirect/5"));
  EXPECT_EQ(five.status, 200);
  EXPECT_EQ(Text(five.body), "arrived");
  try {
    client.Get(Url("/redirect/6"));
    FAIL() << "six redirects were followed";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Maximum number of redirections (5) exceeded");
  }
}

// A redirect to another port is another origin: the credentials stay home.
TEST_F(SystemClientTest, SendsAuthorizationOnlyWhileTheRedirectsStayAtTheSameOrigin) {
  SystemClient client;
  LoopbackServer other("http-client");
  const Headers auth{{"Authorization", "Basic YTpi"}};
  const std::string same = "/redirect-to/" + std::to_string(server_.port()) + "/headers";
  const std::string away = "/redirect-to/" + std::to_string(other.port()) + "/headers";
  EXPECT_NE(Text(client.Get(Url(same), auth).body).find("HAS_AUTH=1"), std::string::npos);
  const std::string elsewhere = Text(client.Get(Url(away), auth).body);
  EXPECT_NE(elsewhere.find("HAS_AUTH=0"), std::string::npos) << elsewhere;
  EXPECT_NE(elsewhere.find("UA=Embarcadero URI Client/1.0"), std::string::npos) << elsewhere;
}

// Certificates are checked: a server whose authority the system does not trust
// is no answer (the trusted side is shown on Linux, with a file of authorities).
TEST(SystemClientTls, RefusesAServerOfAnUnknownAuthority) {
  LoopbackServer server("tls-http-client");
  SystemClient client;
  EXPECT_THROW(client.Get("https://127.0.0.1:" + std::to_string(server.port()) + "/headers"), Error);
}

TEST_F(SystemClientTest, NeverFollowsARedirectOffTheWeb) {
  SystemClient client;
  EXPECT_THROW(client.Get(Url("/to-file")), Error);
  EXPECT_THROW(client.Get("file:///etc/hostname"), Error);
}

TEST_F(SystemClientTest, KeepsCookiesAcrossRequestsOfOneClientOnly) {
  SystemClient client;
  client.Get(Url("/set-cookie"));
  EXPECT_EQ(Text(client.Get(Url("/echo-cookie")).body), "session=s3cr3t");
  SystemClient other;
  EXPECT_EQ(Text(other.Get(Url("/echo-cookie")).body), "");
}

TEST_F(SystemClientTest, DeliversAnErrorPageAsContentWithItsStatus) {
  SystemClient client;
  const Response page = client.Get(Url("/missing"));
  EXPECT_EQ(page.status, 404);
  EXPECT_EQ(page.contentType, "text/html");
  EXPECT_EQ(Text(page.body), "<html>not here</html>");
}

TEST_F(SystemClientTest, FailsWhenNoAnswerComes) {
  SystemClient client;
  EXPECT_THROW(client.Get(test::UnreachableUrl("/")), Error);
  EXPECT_THROW(client.Get("not a url"), Error);

  client.SetTimeouts({1000ms, 1000ms});
  try {
    client.Get(Url("/stall"));
    FAIL() << "a stalled server did not time out";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "The server did not answer in time");
  }
}

TEST_F(SystemClientTest, EncodesBlanksAndNonAsciiInThePath) {
  SystemClient client;
  client.Get(Url("/seen/游戏 a.exe"));
  EXPECT_EQ(server_.Get("target"), "/seen/%E6%B8%B8%E6%88%8F%20a.exe");
}

// Records the reports of one asynchronous request and the thread each ran on.
struct Recorder final : AsyncHandler {
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  std::optional<Response> completed;
  std::optional<std::string> error;
  std::thread::id uiThread = std::this_thread::get_id();
  bool offUiThread = false;
  std::int64_t abortAt = -1;

  void OnReceiveData(std::int64_t total, std::int64_t read, bool& abort) override {
    Check();
    progress.emplace_back(total, read);
    if (abortAt >= 0 && read >= abortAt) abort = true;
  }
  void OnRequestCompleted(Response response) override {
    Check();
    completed = std::move(response);
  }
  void OnRequestError(const std::string& message) override {
    Check();
    error = message;
  }
  void Check() { offUiThread |= std::this_thread::get_id() != uiThread; }
  bool Done() const { return completed || error; }
};

void ExpectReportsCountUpTo(const Recorder& r, std::int64_t total, std::int64_t size) {
  ASSERT_GE(r.progress.size(), 2u);
  EXPECT_EQ(r.progress.front(), std::make_pair(total, std::int64_t{0}));  // before any body byte
  EXPECT_EQ(r.progress.back(), std::make_pair(total, size));
  for (std::size_t i = 1; i < r.progress.size(); ++i) {
    EXPECT_GT(r.progress[i].second, r.progress[i - 1].second);  // one report per chunk, each with more
    EXPECT_EQ(r.progress[i].first, total);
  }
}

TEST_F(SystemClientTest, ReportsProgressWithTheAnnouncedSizeOnTheUiThread) {
  SystemClient client(&dispatcher_);
  Recorder r;
  const auto request = client.GetAsync(Url("/sized/300000"), {}, r);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return r.Done(); }));
  ASSERT_TRUE(r.completed) << *r.error;
  EXPECT_EQ(Text(r.completed->body), test::PatternBody(300000));
  ExpectReportsCountUpTo(r, 300000, 300000);
  EXPECT_FALSE(r.offUiThread);
}

TEST_F(SystemClientTest, ReportsMinusOneWhenNoSizeIsAnnounced) {
  SystemClient client(&dispatcher_);
  Recorder unsized;
  const auto a = client.GetAsync(Url("/unsized/100000"), {}, unsized);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return unsized.Done(); }));
  ASSERT_TRUE(unsized.completed);
  EXPECT_EQ(Text(unsized.completed->body), test::PatternBody(100000));
  ExpectReportsCountUpTo(unsized, -1, 100000);

  // An announced length of 0 counts as no size; the one report comes before the (empty) body.
  Recorder empty;
  const auto b = client.GetAsync(Url("/empty"), {}, empty);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return empty.Done(); }));
  ASSERT_TRUE(empty.completed);
  EXPECT_TRUE(empty.completed->body.empty());
  EXPECT_EQ(empty.progress, (std::vector<std::pair<std::int64_t, std::int64_t>>{{-1, 0}}));
}

TEST_F(SystemClientTest, MakesNoProgressReportsForAnErrorStatus) {
  SystemClient client(&dispatcher_);
  Recorder r;
  const auto request = client.GetAsync(Url("/missing"), {}, r);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return r.Done(); }));
  ASSERT_TRUE(r.completed);
  EXPECT_EQ(r.completed->status, 404);
  EXPECT_EQ(Text(r.completed->body), "<html>not here</html>");
  EXPECT_TRUE(r.progress.empty());
}

TEST_F(SystemClientTest, ReportsFailuresAsErrors) {
  SystemClient client(&dispatcher_);
  Recorder redirects, offWeb;
  const auto a = client.GetAsync(Url("/redirect/6"), {}, redirects);
  const auto b = client.GetAsync(Url("/to-file"), {}, offWeb);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return redirects.Done() && offWeb.Done(); }));
  EXPECT_EQ(redirects.error, "Maximum number of redirections (5) exceeded");
  EXPECT_TRUE(offWeb.error);
  EXPECT_FALSE(redirects.offUiThread || offWeb.offUiThread);
}

TEST_F(SystemClientTest, StopsWhenTheHandlerAborts) {
  SystemClient client(&dispatcher_);
  Recorder r;
  r.abortAt = 1;
  const auto request = client.GetAsync(Url("/endless"), {}, r);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return r.Done(); }));
  EXPECT_EQ(r.error, "The request was aborted");
}

TEST_F(SystemClientTest, AnAbandonedRequestReachesNothingOfTheCaller) {
  SystemClient client(&dispatcher_);
  auto recorder = std::make_unique<Recorder>();
  auto request = client.GetAsync(Url("/endless"), {}, *recorder);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return recorder->progress.size() >= 3; }));
  // The caller destroys the request and its handler at once; a report that runs
  // after this would touch freed memory (the sanitizer build sees it).
  request.reset();
  recorder.reset();
  const auto until = std::chrono::steady_clock::now() + 300ms;
  dispatcher_.RunUntil([&] { return std::chrono::steady_clock::now() > until; }, 400ms);
}

TEST_F(SystemClientTest, DestroyingTheClientEndsItsRunningRequests) {
  Recorder r;
  std::unique_ptr<AsyncRequest> request;
  {
    SystemClient client(&dispatcher_);
    request = client.GetAsync(Url("/endless"), {}, r);
    ASSERT_TRUE(dispatcher_.RunUntil([&] { return !r.progress.empty(); }));
  }  // joins the worker, which must give up waiting for the UI thread
  const std::size_t reports = r.progress.size();
  dispatcher_.Drain();
  EXPECT_EQ(r.progress.size(), reports);
  EXPECT_FALSE(r.Done());
}

}  // namespace
}  // namespace tandrel::http

namespace tandrel::http {
namespace {

// Limits short enough for a test: a trickle must bring 256 bytes a second, a
// synchronous request ends within two seconds.
const Timeouts kShortLimits{5000ms, 5000ms, 1000ms, 256, 2000ms};

void ExpectFailsWith(SystemClient& client, const std::string& url, std::uint64_t maxBody, const std::string& message) {
  try {
    client.Get(url, {}, maxBody);
    ADD_FAILURE() << url << " gave an answer";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), message) << url;
  }
}

TEST_F(SystemClientTest, ATrickleOrAnEndlessAnswerFailsLikeASilentServer) {
  SystemClient client;
  client.SetTimeouts(kShortLimits);
  const auto start = std::chrono::steady_clock::now();
  // One byte every 100 ms: never silent, never enough.
  ExpectFailsWith(client, Url("/drip/1/100/0"), kAnyBodySize, "The server did not answer in time");
  // Enough for the trickle rule, but the whole request outlives its deadline.
  ExpectFailsWith(client, Url("/drip/100/100/0"), kAnyBodySize, "The server did not answer in time");
  // Both bounded well below what the server would have gone on for (the watchdog's minute).
  EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
  // Slow but steady and short: an answer.
  EXPECT_EQ(client.Get(Url("/drip/300/100/5")).body.size(), 1500u);
}

TEST_F(SystemClientTest, ADownloadHasNoDeadlineButTheTrickleRule) {
  SystemClient client(&dispatcher_);
  client.SetTimeouts(kShortLimits);
  Recorder steady, trickle;
  // 3 s of steady bytes: longer than the synchronous deadline.
  const auto a = client.GetAsync(Url("/drip/400/100/30"), {}, steady);
  const auto b = client.GetAsync(Url("/drip/1/100/0"), {}, trickle);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return steady.Done() && trickle.Done(); }, 20s));
  ASSERT_TRUE(steady.completed) << *steady.error;
  EXPECT_EQ(steady.completed->body.size(), 12000u);
  EXPECT_EQ(trickle.error, "The server did not answer in time");
}

// Answers no HTTP library would send, written byte for byte; the server closes
// the connection after each.
TEST(SystemClientRawAnswers, ABodyIsWholeOnlyAsItsHeadDeclares) {
  // "hello" gzip-compressed: a transport that decoded it would hand over "hello".
  const std::string gzip(
      "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xcb\x48\xcd\xc9\xc9\x07\x00\x86\xa6\x10\x36\x05\x00\x00\x00", 25);
  const struct {
    const char* what;
    std::string answer;
    std::optional<std::string> body;  // nothing: the request fails
  } cases[] = {
      {"a length larger than the body, then close", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf", {}},
      {"a length smaller than the body", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello, and more", "hello"},
      {"chunked, cut before the last chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", {}},
      {"chunked with a wrong length as well",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 100\r\n\r\n5\r\nhello\r\n0\r\n\r\n", "hello"},
      {"204 with a length", "HTTP/1.1 204 No Content\r\nContent-Length: 100\r\n\r\n", ""},
      {"304 with a length", "HTTP/1.1 304 Not Modified\r\nContent-Length: 100\r\n\r\n", ""},
      {"gzip-encoded with a length", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 25\r\n\r\n" + gzip,
       gzip},
      {"no head at all", "", {}},
  };
  for (const auto& c : cases) {
#ifdef _WIN32
    // WinHTTP, under Wine as tried, takes a chunked body cut before its last chunk
    // for a whole one: with no length declared, nothing tells it apart.
    if (std::string(c.what).starts_with("chunked, cut")) continue;
#endif
    LoopbackServer server("raw-answers");
    server.Set("answer", c.answer);
    SystemClient client;
    client.SetTimeouts(kShortLimits);
    try {
      const Response response = client.Get(server.Url("/file"));
      EXPECT_EQ(c.body, Text(response.body)) << c.what;
    } catch (const Error& e) {
      EXPECT_FALSE(c.body) << c.what << ": " << e.what();
    }
  }
}

// A stalled answer that fails lets its connection go at once: a service that
// stalls must not collect the box's connections.
TEST(SystemClientRawAnswers, AGivenUpRequestClosesItsConnection) {
  LoopbackServer server("raw-answers");
  server.Set("answer", "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(2000, 'x'));
  server.Set("hold-ms", "30000");
  SystemClient client;
  client.SetTimeouts(kShortLimits);
  ExpectFailsWith(client, server.Url("/list"), kAnyBodySize, "The server did not answer in time");
  const auto until = std::chrono::steady_clock::now() + 5s;
  std::string closed;
  while ((closed = server.Get("closed")).empty() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(closed, "client\n") << "the connection was still open 5 s after the request failed";
}

TEST_F(SystemClientTest, AnAnswerLargerThanItsCapFailsAndStopsThere) {
  SystemClient client(&dispatcher_);
  const std::string tooLarge = "The answer is larger than 65536 bytes";
  ExpectFailsWith(client, Url("/sized/65537"), 65536, tooLarge);    // announced
  ExpectFailsWith(client, Url("/unsized/65537"), 65536, tooLarge);  // counted
  ExpectFailsWith(client, Url("/endless"), 65536, tooLarge);        // announced 4 GiB, never sent whole
  EXPECT_EQ(client.Get(Url("/unsized/65536"), {}, 65536).body.size(), 65536u);
  EXPECT_EQ(client.Get(Url("/sized/65536"), {}, 65536).body.size(), 65536u);

  Recorder r;
  const auto request = client.GetAsync(Url("/drip/16384/1/0"), {}, r, 100000);
  ASSERT_TRUE(dispatcher_.RunUntil([&] { return r.Done(); }));
  EXPECT_EQ(r.error, "The answer is larger than 100000 bytes");
  ASSERT_FALSE(r.progress.empty());
  EXPECT_LE(r.progress.back().second, 100000);
}

}  // namespace
}  // namespace tandrel::http

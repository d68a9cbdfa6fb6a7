// The rules of a request that no transport may change, tried without one: the
// test hands the exchange what a transport would and reads what it decides.
#include "core/http/Exchange.h"

#include <gtest/gtest.h>

#include <thread>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tandrel::http {
namespace {

using Kind = platform::HttpEnd::Kind;

struct Reports final : TransferHooks {
  std::vector<std::pair<std::int64_t, std::int64_t>> seen;  // (total, received); received -1 for the body start
  bool stopAtStart = false, stopAtChunk = false, cancelled = false;
  bool OnBodyStart(std::int64_t total, std::int64_t received) override {
    EXPECT_EQ(received, 0) << "no sink: every body starts at its beginning";
    seen.emplace_back(total, -1);
    return !stopAtStart;
  }
  bool OnChunk(std::int64_t total, std::int64_t received) override {
    seen.emplace_back(total, received);
    return !stopAtChunk;
  }
  bool Cancelled() override { return cancelled; }
};

class ExchangeTest : public ::testing::Test {
 protected:
  Exchange Make(std::uint64_t maxBody = kAnyBodySize) { return Exchange(Timeouts{}, maxBody, true, reports_); }
  static bool Head(Exchange& exchange, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      if (!exchange.HeaderLine(line + "\r\n")) return false;
    }
    return exchange.HeaderLine("\r\n");
  }
  static bool Body(Exchange& exchange, std::size_t size, std::size_t piece) {
    const std::vector<std::uint8_t> bytes(piece, 'x');
    for (std::size_t sent = 0; sent < size; sent += piece) {
      if (!exchange.BodyBytes(std::span(bytes).first(std::min(piece, size - sent)))) return false;
    }
    return true;
  }
  static std::string FailureOf(Exchange& exchange, platform::HttpEnd end) {
    try {
      exchange.Finish(end);
    } catch (const Error& e) {
      return e.what();
    }
    return "no failure";
  }
  Reports reports_;
};

TEST_F(ExchangeTest, ReportsTheStartThenBatchesAndAlwaysTheLastPiece) {
  Exchange exchange = Make();
  const std::size_t size = 2 * Exchange::kChunk + 100;
  ASSERT_TRUE(Head(exchange, {"HTTP/1.1 200 OK", "Content-Length: " + std::to_string(size)}));
  ASSERT_TRUE(Body(exchange, size, 64 * 1024));
  const Response response = exchange.Finish({Kind::Complete, {}});
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body.size(), size);
  const auto total = static_cast<std::int64_t>(size), chunk = static_cast<std::int64_t>(Exchange::kChunk);
  EXPECT_EQ(reports_.seen, (std::vector<std::pair<std::int64_t, std::int64_t>>{
                               {total, -1}, {total, chunk}, {total, 2 * chunk}, {total, total}}));
}

// A burst, then a stall: the bytes that came are reported at the next tick.
TEST_F(ExchangeTest, WhatCameBeforeAStallIsReportedAtTheNextTick) {
  Exchange exchange = Make();
  ASSERT_TRUE(Head(exchange, {"HTTP/1.1 200 OK", "Content-Length: 1000000"}));
  ASSERT_TRUE(Body(exchange, 5000, 5000));
  ASSERT_TRUE(exchange.Tick(0));
  EXPECT_EQ(reports_.seen.size(), 1u);  // too soon
  std::this_thread::sleep_for(Exchange::kChunkTime + std::chrono::milliseconds(20));
  ASSERT_TRUE(exchange.Tick(0));
  EXPECT_EQ(reports_.seen.back(), (std::pair<std::int64_t, std::int64_t>{1000000, 5000}));
}

TEST_F(ExchangeTest, ALargeAnnouncedBodyIsReportedInSixteenths) {
  Exchange exchange = Make();
  const std::int64_t total = 32 * Exchange::kChunk, sixteenth = total / 16;
  ASSERT_TRUE(Head(exchange, {"HTTP/1.1 200 OK", "Content-Length: " + std::to_string(total)}));
  ASSERT_TRUE(Body(exchange, static_cast<std::size_t>(total), Exchange::kChunk));
  exchange.Finish({Kind::Complete, {}});
  std::vector<std::pair<std::int64_t, std::int64_t>> expected{{total, -1}};
  for (std::int64_t received = sixteenth; received <= total; received += sixteenth)
    expected.emplace_back(total, received);
  EXPECT_EQ(reports_.seen, expected);
}

TEST_F(ExchangeTest, TheTotalIsMinusOneWithoutAUsableLength) {
  for (const std::vector<std::string>& head :
       std::vector<std::vector<std::string>>{{"HTTP/1.1 200 OK"},
                                             {"HTTP/1.1 200 OK", "Content-Length: abc"},
                                             {"HTTP/1.1 200 OK", "Content-Length: -5"},
                                             {"HTTP/1.1 200 OK", "Content-Length: 12x"}}) {
    reports_.seen.clear();
    Exchange exchange = Make();
    ASSERT_TRUE(Head(exchange, head));
    ASSERT_TRUE(Body(exchange, 10, 10));
    exchange.Finish({Kind::Complete, {}});
    EXPECT_EQ(reports_.seen, (std::vector<std::pair<std::int64_t, std::int64_t>>{{-1, -1}, {-1, 10}})) << head.back();
  }
  // An empty body announced: no size to show, and nothing after the start.
  reports_.seen.clear();
  Exchange empty = Make();
  ASSERT_TRUE(Head(empty, {"HTTP/1.1 200 OK", "Content-Length: 0"}));
  EXPECT_TRUE(empty.Finish({Kind::Complete, {}}).body.empty());
  EXPECT_EQ(reports_.seen, (std::vector<std::pair<std::int64_t, std::int64_t>>{{-1, -1}}));
}

TEST_F(ExchangeTest, OnlyTheLastAnswerCountsAndOnlyASuccessfulOneIsReported) {
  Exchange exchange = Make();
  ASSERT_TRUE(Head(exchange, {"HTTP/1.1 302 Found", "Content-Type: text/html", "Content-Length: 5"}));
  ASSERT_TRUE(Body(exchange, 5, 5));
  ASSERT_TRUE(Head(exchange, {"HTTP/1.1 404 Not Found", "content-type:  text/plain ; charset=gbk "}));
  ASSERT_TRUE(Body(exchange, 7, 7));
  const Response response = exchange.Finish({Kind::Complete, {}});
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(response.contentType, "text/plain ; charset=gbk");
  EXPECT_EQ(response.body.size(), 7u);
  EXPECT_TRUE(reports_.seen.empty());
}

TEST_F(ExchangeTest, AnAnswerOverTheCapIsRefusedByItsLengthOrByItsBytes) {
  {
    Exchange exchange = Make(100);
    EXPECT_FALSE(Head(exchange, {"HTTP/1.1 200 OK", "Content-Length: 101"}));
    EXPECT_EQ(FailureOf(exchange, {Kind::Failed, "stopped"}), "The answer is larger than 100 bytes");
  }
  {
    Exchange exchange = Make(100);
    ASSERT_TRUE(Head(exchange, {"HTTP/1.1 200 OK"}));
    EXPECT_TRUE(Body(exchange, 100, 50));
    EXPECT_FALSE(Body(exchange, 1, 1));
    EXPECT_EQ(FailureOf(exchange, {Kind::Failed, "stopped"}), "The answer is larger than 100 bytes");
  }
  // The first was refused before its body began; a failed request reports no last piece.
  EXPECT_EQ(reports_.seen, (std::vector<std::pair<std::int64_t, std::int64_t>>{{-1, -1}}));
}

TEST_F(ExchangeTest, TheBodyIsReservedByItsLengthButNeverBeyondTheCaps) {
  struct Case {
    const char* status;
    const char* length;
    std::uint64_t maxBody;
    std::size_t reserved;  // 0: refused before the body
  };
  constexpr auto kMax = static_cast<std::size_t>(Exchange::kMaxReserve);
  constexpr const char* kOk = "HTTP/1.1 200 OK";
  for (const Case& c : std::vector<Case>{{kOk, nullptr, kAnyBodySize, 1},
                                         {kOk, "abc", kAnyBodySize, 1},
                                         {kOk, "99999999999999999999999", kAnyBodySize, 1},
                                         {kOk, "1000", kAnyBodySize, 1000},
                                         {kOk, "1000", 1000, 1000},
                                         {kOk, "1001", 1000, 0},
                                         {kOk, "1099511627776", kAnyBodySize, kMax},
                                         {kOk, "1099511627776", std::uint64_t{1} << 41, kMax},
                                         {kOk, "1099511627776", std::uint64_t{1} << 39, 0},
                                         // An error page grows as it comes, whatever it announces.
                                         {"HTTP/1.1 404 Not Found", "1099511627776", kAnyBodySize, 1}}) {
    const std::string what = std::string(c.status) + " " + (c.length ? c.length : "no length");
    Exchange exchange = Make(c.maxBody);
    std::vector<std::string> head{c.status};
    if (c.length) head.push_back(std::string("Content-Length: ") + c.length);
    if (c.reserved == 0) {
      EXPECT_FALSE(Head(exchange, head)) << what;
      continue;
    }
    ASSERT_TRUE(Head(exchange, head)) << what;
    ASSERT_TRUE(Body(exchange, 1, 1)) << what;
    EXPECT_EQ(exchange.BodyCapacity(), c.reserved) << what;
  }
}

// A transport may take a closed connection for the end of a body: the head's
// one valid Content-Length decides, unless a Transfer-Encoding overrides it or
// the status carries no body.
TEST_F(ExchangeTest, ABodyShorterThanItsDeclaredLengthIsACutTransfer) {
  struct Case {
    std::vector<std::string> head;
    std::size_t received;
    bool whole;
  };
  const std::string ok = "HTTP/1.1 200 OK";
  for (const Case& c : std::vector<Case>{
           {{ok, "Content-Length: 100"}, 50, false},
           {{ok, "Content-Length: 100"}, 0, false},
           {{"HTTP/1.1 404 Not Found", "Content-Length: 100"}, 99, false},  // an error page is a body too
           {{ok, "Content-Length: 100"}, 100, true},
           {{ok, "Content-Length: 0"}, 0, true},
           {{ok, "Transfer-Encoding: chunked", "Content-Length: 100"}, 5, true},  // the encoding overrides
           {{ok, "Content-Length: 100", "Content-Length: 100"}, 5, true},         // not one valid length
           {{ok, "Content-Length: 10x"}, 5, true},
           {{ok}, 5, true},
           {{"HTTP/1.1 204 No Content", "Content-Length: 100"}, 0, true},
           {{"HTTP/1.1 304 Not Modified", "Content-Length: 100"}, 0, true},
       }) {
    const std::string what = c.head.back() + " after " + c.head.front() + ", " + std::to_string(c.received);
    Exchange exchange = Make();
    ASSERT_TRUE(Head(exchange, c.head)) << what;
    ASSERT_TRUE(Body(exchange, c.received, 10)) << what;
    if (c.whole) {
      EXPECT_EQ(exchange.Finish({Kind::Complete, {}}).body.size(), c.received) << what;
    } else {
      EXPECT_EQ(FailureOf(exchange, {Kind::Complete, {}}), kCutShort) << what;
    }
  }
  // Bytes past the declared length are no part of the answer, whoever hands them over.
  {
    Exchange exchange = Make();
    ASSERT_TRUE(Head(exchange, {ok, "Content-Length: 15"}));
    ASSERT_TRUE(Body(exchange, 40, 10));
    EXPECT_EQ(exchange.Finish({Kind::Complete, {}}).body.size(), 15u);
  }
  // Only the last answer's head counts: a redirect's length says nothing of it.
  Exchange exchange = Make();
  ASSERT_TRUE(Head(exchange, {"HTTP/1.1 302 Found", "Content-Length: 100"}));
  ASSERT_TRUE(Head(exchange, {ok}));
  ASSERT_TRUE(Body(exchange, 5, 5));
  EXPECT_EQ(exchange.Finish({Kind::Complete, {}}).body.size(), 5u);
}

TEST_F(ExchangeTest, NoHeadAtAllIsNoAnswer) {
  Exchange exchange = Make();
  EXPECT_EQ(FailureOf(exchange, {Kind::Complete, {}}), kNoHead);
}

TEST_F(ExchangeTest, FailuresAreWordedByTheirCause) {
  struct Case {
    const char* what;
    platform::HttpEnd end;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{
           {"redirects", {Kind::TooManyRedirects, "curl's words"}, "Maximum number of redirections (5) exceeded"},
           {"no connection in time", {Kind::TimedOut, "curl's words"}, kNoAnswerInTime},
           {"anything else", {Kind::Failed, "Could not resolve host"}, "Could not resolve host"}}) {
    Exchange exchange = Make();
    EXPECT_EQ(FailureOf(exchange, c.end), c.expected) << c.what;
  }
}

TEST_F(ExchangeTest, AStopAskedAtAnyReportOrACancelIsAnAbort) {
  {
    reports_.stopAtStart = true;
    Exchange exchange = Make();
    EXPECT_FALSE(Head(exchange, {"HTTP/1.1 200 OK"}));
    EXPECT_EQ(FailureOf(exchange, {Kind::Failed, "write error"}), "The request was aborted");
  }
  {
    reports_.stopAtStart = false;
    reports_.stopAtChunk = true;
    Exchange exchange = Make();
    ASSERT_TRUE(Head(exchange, {"HTTP/1.1 200 OK"}));
    ASSERT_TRUE(Body(exchange, 10, 10));  // too little for a report before the last one
    EXPECT_EQ(FailureOf(exchange, {Kind::Complete, {}}), "The request was aborted");
  }
  {
    reports_.cancelled = true;
    Exchange exchange = Make();
    EXPECT_FALSE(exchange.Tick(0));
    EXPECT_EQ(FailureOf(exchange, {Kind::Failed, "callback aborted"}), "The request was aborted");
  }
}

TEST_F(ExchangeTest, TheRequestCarriesTheEncodedUrlTheAgentAndTheRedirectLimit) {
  Timeouts timeouts;
  timeouts.connect = std::chrono::milliseconds(1234);
  timeouts.stall = std::chrono::milliseconds(9000);
  timeouts.window = std::chrono::milliseconds(2000);
  const platform::HttpRequest request = Exchange::Request("http://h/a b", {{"Authorization", "Basic x"}}, timeouts);
  EXPECT_EQ(request.url, "http://h/a%20b");
  EXPECT_EQ(request.userAgent, kUserAgent);
  EXPECT_EQ(request.connectTimeout, std::chrono::milliseconds(1234));
  EXPECT_EQ(request.maxRedirects, kMaxRedirects);
  // A read may wait no shorter than the rules let a silence last: the stall
  // before the answer, and within a body the two windows a silence may straddle.
  EXPECT_EQ(request.silenceBeforeAnswer, std::chrono::milliseconds(10000));
  EXPECT_EQ(request.silenceInBody, std::chrono::milliseconds(5000));
  EXPECT_EQ(request.headers, (Headers{{"Authorization", "Basic x"}}));
}

TEST(ParseStatusLine, ReadsTheCodeOfAnyVersion) {
  for (const auto& [line, status] : std::vector<std::pair<std::string, long>>{{"HTTP/1.1 200 OK\r\n", 200},
                                                                              {"HTTP/1.0 404 Not Found\r\n", 404},
                                                                              {"HTTP/2 301 \r\n", 301},
                                                                              {"HTTP/1.1 100\r\n", 100},
                                                                              {"HTTP/1.1 2000 Huge\r\n", 0},
                                                                              {"ICY 200 OK\r\n", 0},
                                                                              {"HTTP/1.1\r\n", 0}}) {
    EXPECT_EQ(ParseStatusLine(line), status) << line;
  }
}

}  // namespace
}  // namespace tandrel::http

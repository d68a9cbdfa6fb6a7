#include "core/ServerListLoader.h"
#include "core/crypto.h"
#include "core/http/SystemClient.h"

#include "core/AnswerCaps.h"
#include "support/LoopbackServer.h"
#include "support/PeakMemory.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using test::LoopbackServer;

const site::Secret kKey = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const site::Secret kIv = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
const std::string kAuth = site::BasicAuthorization(std::string(32, 'a'), std::string(32, 'b'));

std::string Encrypted(const std::string& plain) {
  const auto body = EncryptServerList(std::vector<std::uint8_t>(plain.begin(), plain.end()), kKey, kIv);
  return std::string(body.begin(), body.end());
}

struct CountingView final : RowCountView {
  void SetRowCount(std::size_t count) override {
    rows = count;
    ++calls;
  }
  std::size_t rows = 99;
  int calls = 0;
};

// A service whose list body the test sets before each load.
class ServerListLoaderTest : public ::testing::Test {
 protected:
  ServerListLoaderTest()
      : loader_(client_, view_, [this] { return ServiceSite{server_.Url("/box/"), kAuth, kKey, kIv, {}, {}}; }) {
    server_.Set("authorization", kAuth);
  }

  void Serve(const std::string& body, int status = 200) {
    server_.Set("list", body);
    server_.Set("list-status", std::to_string(status));
  }

  LoopbackServer server_{"list-service"};
  http::SystemClient client_;
  CountingView view_;
  ServerListLoader loader_;
};

const std::string kTwoServers = R"({"ServerList":{"FListHelper":[{"ServerName":"A"},{"ServerName":"B"}]}})";

TEST_F(ServerListLoaderTest, LoadsTheDecryptedListAndSetsTheRowCount) {
  Serve(Encrypted(kTwoServers));
  loader_.LoadServerList();
  ASSERT_NE(loader_.Config(), nullptr);
  EXPECT_EQ(loader_.Config()->ServerList()[1].ServerName, "B");
  EXPECT_EQ(view_.rows, 2u);
}

TEST_F(ServerListLoaderTest, AFailedLoadAfterAGoodOneLeavesNoRows) {
  Serve(Encrypted(kTwoServers));
  loader_.LoadServerList();
  ASSERT_EQ(view_.rows, 2u);

  Serve("");  // an empty body means no list, quietly
  EXPECT_NO_THROW(loader_.LoadServerList());
  EXPECT_EQ(loader_.Config(), nullptr);
  EXPECT_EQ(view_.rows, 0u);

  Serve(Encrypted(kTwoServers));
  loader_.LoadServerList();
  ASSERT_EQ(view_.rows, 2u);
  const std::string unreachable = test::UnreachableUrl("/box/");
  ServerListLoader offline(client_, view_, [&] { return ServiceSite{unreachable, kAuth, kKey, kIv, {}, {}}; });
  EXPECT_NO_THROW(offline.LoadServerList());
  EXPECT_EQ(offline.Config(), nullptr);
  EXPECT_EQ(view_.rows, 0u);
}

TEST_F(ServerListLoaderTest, AnErrorPageIsReadAsTheListAndItsErrorLeavesNoRows) {
  Serve(Encrypted(kTwoServers));
  loader_.LoadServerList();
  Serve("<html><body>502 Bad Gateway</body></html>", 502);
  EXPECT_THROW(loader_.LoadServerList(), DocumentError);
  EXPECT_EQ(loader_.Config(), nullptr);
  EXPECT_EQ(view_.rows, 0u);
}

TEST_F(ServerListLoaderTest, SkipsAUtf8ByteOrderMarkButNoOther) {
  Serve(Encrypted("\xEF\xBB\xBF" + kTwoServers));
  loader_.LoadServerList();
  EXPECT_EQ(view_.rows, 2u);

  Serve(Encrypted("\xFF\xFE" + kTwoServers));
  EXPECT_THROW(loader_.LoadServerList(), DocumentError);
  EXPECT_EQ(view_.rows, 0u);
}

TEST_F(ServerListLoaderTest, InvalidUtf8InTextBecomesReplacementCharacters) {
  Serve(Encrypted(R"({"ServerList":{"FListHelper":[{"ServerName":"A)"
                  "\xFF"
                  R"("}]}})"));
  loader_.LoadServerList();
  EXPECT_EQ(loader_.Config()->ServerList()[0].ServerName, "A\xEF\xBF\xBD");
}

TEST_F(ServerListLoaderTest, FetchesTheBannerWithoutAuthorization) {
  const http::Bytes banner = loader_.LoadLogo();
  EXPECT_EQ(std::string(banner.begin(), banner.end()), "\x89PNG banner");

  ServerListLoader offline(client_, view_, [] { return ServiceSite{"http://127.0.0.1:1/", kAuth, kKey, kIv, {}, {}}; });
  EXPECT_THROW(offline.LoadLogo(), http::Error);
}

TEST_F(ServerListLoaderTest, AnOversizedListLeavesNoRowsAndCostsNoMoreThanItsCap) {
  ServerListLoader hostile(client_, view_,
                           [this] { return ServiceSite{server_.Url("/huge/"), kAuth, kKey, kIv, {}, {}}; });
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the address sanitizer keeps freed buffers resident, so the peak says nothing of the box";
#endif
  if (!test::ResetPeakResident()) GTEST_SKIP() << "this system does not let a process reset its peak memory";
  const std::uint64_t idle = test::ResidentBytes();
  EXPECT_NO_THROW(hostile.LoadServerList());
  EXPECT_EQ(view_.rows, 0u);
  EXPECT_EQ(hostile.Config(), nullptr);
  // Room for the client's own buffers and the sanitizers' bookkeeping beside the cap.
  EXPECT_LT(test::PeakResidentBytes(), idle + caps::kServerList + 32 * caps::kMiB);
}

}  // namespace
}  // namespace tandrel

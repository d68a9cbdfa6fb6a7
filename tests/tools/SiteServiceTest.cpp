#include "SiteFolder.h"

#include "core/FileIo.h"
#include "core/ServerListLoader.h"
#include "core/crypto.h"
#include "core/http/CurlClient.h"

#include "support/RunningService.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using admin::SiteKeys;

const SiteKeys kKeys = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
                        {9, 9, 9, 9, 8, 8, 8, 8, 7, 7, 7, 7, 6, 6, 6, 6},
                        std::string(32, 'a'),
                        "0123456789abcdef0123456789abcdef"};

std::string ListOf(const std::string& name) {
  return R"({"ServerList":{"FListHelper":[{"ServerName":")" + name + R"(","LauncherName":"game"}]}})";
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
  void Start(const std::string& basePath = "/") { service_.emplace(site_.path(), basePath); }

  test::TempDir site_;
  http::CurlClient client_;
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
  EXPECT_EQ(Get("getvalue/link.exe").status, 200);  // a link that stays inside the site is followed
}

TEST_F(SiteServiceTest, RereadsAChangedListAndKeepsTheLastGoodOne) {
  Start();
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"First"});
  test::WriteFile(site_ / "servers.json", ListOf("Second, a longer name"));
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"Second, a longer name"});

  test::WriteFile(site_ / "servers.json", R"({"ServerList":[{"ServerName":"broken"}]})");
  EXPECT_EQ(ServedNames(), std::vector<std::string>{"Second, a longer name"});
  bool refused = false;
  for (const auto& line : service_->Log()) refused |= line.find("Unexpected type while read json array") != std::string::npos;
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
      http::CurlClient own;
      for (int i = 0; i < 10; ++i) {
        const auto r = own.Get(service_->BaseUrl(), {{"Authorization", kKeys.AuthHeaderValue()}});
        if (r.status == 200 && r.body == expected) ++good;
      }
    });
  }
  for (auto& t : players) t.join();
  EXPECT_EQ(good, 400);
  EXPECT_GE(service_->Log().size(), 401u);  // one line per request
}

TEST_F(SiteServiceTest, NeedsSiteConfOrAStampedBox) {
  fs::remove(site_ / "site.conf");
  EXPECT_THROW(admin::SiteFolder{site_.path()}, std::runtime_error);  // the plain "box" here is not stamped
}

}  // namespace
}  // namespace tandrel

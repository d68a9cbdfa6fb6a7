// A published site served by Debian's real nginx on loopback, read through the
// box's own client as the box reads it.
#include "SiteFolder.h"

#include "core/Hex.h"
#include "core/ServerListLoader.h"
#include "core/crypto.h"
#include "core/http/SystemClient.h"

#include "support/AdminTool.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Admin;
using test::ShellQuote;

int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// nginx in the foreground of a shell of its own, ended by the test or by its time limit.
class Nginx {
 public:
  Nginx(const fs::path& out) {
    const auto started =
        test::RunCommand("timeout 120 nginx -p " + ShellQuote(out.string()) + " -c " +
                         ShellQuote((out / "nginx.conf").string()) + " -g 'daemon off; user nobody nogroup;' > " +
                         ShellQuote((out / "logs" / "stdout").string()) + " 2>&1 & echo $!");
    pid_ = std::stoi(started.output);
  }
  ~Nginx() { test::RunCommand("kill " + std::to_string(pid_) + "; sleep 0.2"); }

 private:
  int pid_;
};

// An example site with a stamped box of its own.
void MakeSite(const fs::path& site) {
  ASSERT_EQ(Admin("new-site " + ShellQuote(site.string())).status, 0);
  ASSERT_EQ(Admin("stamp " + ShellQuote(test::kProbe) + " " + ShellQuote((site / "box").string()) +
                  " --url http://127.0.0.1:1/ --name Corvessa --site-dir " + ShellQuote(site.string()))
                .status,
            0);
}

void PublishSite(const fs::path& site, const fs::path& out, int port, const std::string& base) {
  const auto published = Admin("publish " + ShellQuote(site.string()) + " " + ShellQuote(out.string()) +
                               " --listen 127.0.0.1:" + std::to_string(port) + " --base-path " + base);
  ASSERT_EQ(published.status, 0) << published.output;
}

void WaitUntilServing(http::SystemClient& client, const std::string& url) {
  for (int i = 0; i < 100; ++i) {
    try {
      client.Get(url);
      return;
    } catch (const http::Error&) {
      std::this_thread::sleep_for(50ms);
    }
  }
}

std::string Text(const http::Response& r) { return std::string(r.body.begin(), r.body.end()); }

TEST(Publish, NginxServesThePublishedSiteAsTheBoxAsksForIt) {
  ASSERT_EQ(test::RunCommand("command -v nginx").status, 0) << "nginx is missing (scripts/deps installs it)";
  test::TempDir dir;
  fs::permissions(dir.path(), fs::perms(0755));  // nginx's workers run as nobody
  const fs::path site = dir / "site", out = dir / "published";
  ASSERT_NO_FATAL_FAILURE(MakeSite(site));
  const int port = FreePort();
  ASSERT_NO_FATAL_FAILURE(PublishSite(site, out, port, "/box/"));

  Nginx nginx(out);
  const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/box/";
  http::SystemClient client;
  WaitUntilServing(client, base + "getvalue/logo.png");
  const admin::SiteKeys keys = admin::ReadSiteConf(site / "site.conf");
  const http::Headers auth = {{"Authorization", keys.AuthHeaderValue()}};

  EXPECT_EQ(client.Get(base).status, 401);
  const http::Response list = client.Get(base, auth);
  ASSERT_EQ(list.status, 200) << test::ReadFile(out / "logs" / "error.log");
  EXPECT_EQ(ReadDocument(DecryptServerList(list.body, keys.key, keys.iv)).ServerList().size(), 25u);

  const std::string boxMd5 = GetFileMd5((site / "box").string());
  EXPECT_EQ(client.Get(base + "getcode/?hash=" + boxMd5).status, 401);
  EXPECT_EQ(Text(client.Get(base + "getcode/?hash=" + boxMd5, auth)), "ok");
  EXPECT_NE(Text(client.Get(base + "getcode/?hash=" + std::string(32, '0'), auth)), "ok");

  EXPECT_EQ(Text(client.Get(base + "getvalue/logo.png")), test::ReadFile(site / "logo.png"));
  EXPECT_EQ(Text(client.Get(base + "getvalue/box.exe")), test::ReadFile(site / "box"));
  EXPECT_EQ(Text(client.Get(base + "getvalue/corvessa_dawn.exe")),
            test::ReadFile(site / "launchers" / "corvessa_dawn.exe"));
  EXPECT_EQ(client.Get(base + "getvalue/../htpasswd").status, 404);
  EXPECT_EQ(client.Get("http://127.0.0.1:" + std::to_string(port) + "/htpasswd").status, 404);

  // A launcher's rest is given only for the version the client names.
  const std::string launcher = ShellQuote(base + "getvalue/corvessa_dawn.exe");
  std::string etag;
  std::istringstream head(test::RunCommand("curl -s -D - -o /dev/null " + launcher).output);
  for (std::string line; std::getline(head, line);) {
    if (line.size() > 6 && (line.starts_with("ETag:") || line.starts_with("etag:"))) etag = line.substr(6);
  }
  if (!etag.empty() && etag.back() == '\r') etag.pop_back();
  ASSERT_FALSE(etag.empty());
  const auto statusFor = [&](const std::string& ifRange) {
    return test::RunCommand("curl -s -o /dev/null -w '%{http_code}' -H 'Range: bytes=0-9' -H " +
                            ShellQuote("If-Range: " + ifRange) + " " + launcher)
        .output;
  };
  EXPECT_EQ(statusFor(etag), "206");
  EXPECT_EQ(statusFor("\"another-version\""), "200");
}

// An operator offering a Linux and a Windows box publishes both sites into one
// folder: one nginx serves each under its base path with its own credentials,
// list keys and update answer.
TEST(Publish, SitesUnderTheirOwnBasePathsShareOneNginx) {
  ASSERT_EQ(test::RunCommand("command -v nginx").status, 0) << "nginx is missing (scripts/deps installs it)";
  test::TempDir dir;
  fs::permissions(dir.path(), fs::perms(0755));
  const fs::path out = dir / "published";
  const int port = FreePort();
  const std::array<std::pair<fs::path, std::string>, 2> sites = {
      {{dir / "linux", "/boxes/linux/"}, {dir / "windows", "/boxes/windows/"}}};
  for (const auto& [site, base] : sites) {
    ASSERT_NO_FATAL_FAILURE(MakeSite(site));
    ASSERT_NO_FATAL_FAILURE(PublishSite(site, out, port, base));
  }

  Nginx nginx(out);
  http::SystemClient client;
  const auto url = [port](const std::string& base) { return "http://127.0.0.1:" + std::to_string(port) + base; };
  WaitUntilServing(client, url(sites[0].second) + "getvalue/logo.png");
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const auto& [site, base] = sites[i];
    const fs::path& other = sites[1 - i].first;
    SCOPED_TRACE(base);
    const admin::SiteKeys keys = admin::ReadSiteConf(site / "site.conf");
    const http::Headers auth = {{"Authorization", keys.AuthHeaderValue()}};
    const http::Headers otherAuth = {{"Authorization", admin::ReadSiteConf(other / "site.conf").AuthHeaderValue()}};

    const http::Response list = client.Get(url(base), auth);
    ASSERT_EQ(list.status, 200) << test::ReadFile(out / "logs" / "error.log");
    EXPECT_EQ(ReadDocument(DecryptServerList(list.body, keys.key, keys.iv)).ServerList().size(), 25u);
    EXPECT_EQ(client.Get(url(base), otherAuth).status, 401);
    EXPECT_EQ(Text(client.Get(url(base) + "getcode/?hash=" + GetFileMd5((site / "box").string()), auth)), "ok");
    EXPECT_EQ(Text(client.Get(url(base) + "getcode/?hash=" + GetFileMd5((other / "box").string()), auth)), "update");
    EXPECT_EQ(Text(client.Get(url(base) + "getvalue/box.exe")), test::ReadFile(site / "box"));
  }
}

// What publish writes out follows the service's rule, through the same function:
// no link out of launchers/, never site.conf, the box and banner only as themselves.
TEST(Publish, CopiesNoLinkOutOfTheSiteNorItsSecrets) {
  test::TempDir dir;
  const fs::path site = dir / "site", out = dir / "out";
  ASSERT_EQ(Admin("new-site " + ShellQuote(site.string())).status, 0);
  test::WriteFile(site / "box", "a box");
  fs::remove(site / "launchers" / "corvessa_dawn.exe");
  fs::create_symlink("../site.conf", site / "launchers" / "corvessa_dawn.exe");
  std::vector<std::string> others;
  for (const auto& f : fs::directory_iterator(site / "launchers")) {
    if (f.path().filename() != "corvessa_dawn.exe") others.push_back(f.path().filename().string());
  }
  ASSERT_FALSE(others.empty());
  fs::remove(site / "launchers" / others[0]);
  fs::create_symlink("/etc/passwd", site / "launchers" / others[0]);

  const auto published = Admin("publish " + ShellQuote(site.string()) + " " + ShellQuote(out.string()));
  ASSERT_EQ(published.status, 0) << published.output;
  EXPECT_NE(published.output.find("corvessa_dawn.exe is no regular file inside launchers/"), std::string::npos)
      << published.output;
  const fs::path getvalue = out / "www" / "getvalue";
  EXPECT_FALSE(fs::exists(getvalue / "corvessa_dawn.exe"));
  EXPECT_FALSE(fs::exists(getvalue / others[0]));
  EXPECT_TRUE(fs::exists(getvalue / others.back()));  // a real launcher still goes out
  const std::string key = ToHex(admin::ReadSiteConf(site / "site.conf").key);
  for (const auto& f : fs::recursive_directory_iterator(out)) {
    if (f.is_regular_file()) {
      EXPECT_EQ(test::ReadFile(f.path()).find(key), std::string::npos) << f.path();
    }
  }

  // A linked box or banner is not published at all.
  test::TempDir elsewhere;
  fs::rename(site / "box", elsewhere / "box");
  fs::create_symlink(elsewhere / "box", site / "box");
  const auto linkedBox = Admin("publish " + ShellQuote(site.string()) + " " + ShellQuote((dir / "out2").string()));
  EXPECT_NE(linkedBox.status, 0);
  EXPECT_NE(linkedBox.output.find("is no regular file of the site folder itself"), std::string::npos)
      << linkedBox.output;
  fs::remove(site / "box");
  fs::rename(elsewhere / "box", site / "box");
  fs::remove(site / "logo.png");
  fs::create_symlink("site.conf", site / "logo.png");
  const auto linkedLogo = Admin("publish " + ShellQuote(site.string()) + " " + ShellQuote((dir / "out3").string()));
  EXPECT_NE(linkedLogo.status, 0);
  EXPECT_FALSE(fs::exists(dir / "out3" / "www" / "getvalue" / "logo.png"));
}

// A mirror serves the box and the launchers below its own base, as the service
// does: the same bytes, and nothing else of the site.
TEST(Publish, AMirrorTreeHoldsTheBoxAndTheLaunchersOnly) {
  test::TempDir dir;
  const fs::path site = dir / "site", mirror = dir / "mirror";
  ASSERT_EQ(Admin("new-site " + ShellQuote(site.string())).status, 0);
  test::WriteFile(site / "box", "a box");
  const auto published = Admin("publish " + ShellQuote(site.string()) + " " + ShellQuote((dir / "out").string()) +
                               " --mirror-tree " + ShellQuote(mirror.string()));
  ASSERT_EQ(published.status, 0) << published.output;
  std::vector<std::string> files;
  for (const auto& f : fs::recursive_directory_iterator(mirror)) {
    if (!f.is_regular_file()) continue;
    files.push_back(fs::relative(f.path(), mirror).generic_string());
    EXPECT_EQ(test::ReadFile(f.path()), test::ReadFile(dir / "out" / "www" / fs::relative(f.path(), mirror)));
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> expected{"getvalue/box.exe"};
  for (const auto& f : fs::directory_iterator(site / "launchers")) {
    expected.push_back("getvalue/" + f.path().filename().string());
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files, expected);
}

TEST(Publish, RefusesASiteWhoseListTheBoxCannotRead) {
  test::TempDir dir;
  const fs::path site = dir / "site";
  ASSERT_EQ(Admin("new-site " + ShellQuote(site.string())).status, 0);
  test::WriteFile(site / "box", "a box");
  test::WriteFile(site / "servers.json", "[]");
  const auto result = Admin("publish " + ShellQuote(site.string()) + " " + ShellQuote((dir / "out").string()));
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.output.find("Unexpected Token while populate an Array"), std::string::npos) << result.output;
}

}  // namespace
}  // namespace tandrel

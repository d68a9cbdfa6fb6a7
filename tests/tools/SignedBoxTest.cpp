// A box stamped with trust keys against its signed site, served by the reference
// service, and against an attacker who has a copy of the box (so the list's key
// and IV) and answers in place of the service by changing what is served.
#include "support/AdminTool.h"
#include "support/DirectWindows.h"
#include "support/RunningService.h"
#include "support/TestAuthority.h"

#include "BoxImage.h"
#include "OperatorKey.h"
#include "SiteFolder.h"
#include "SiteRelease.h"
#include "core/Hex.h"
#include "core/SelfUpdate.h"
#include "core/ServerListLoader.h"
#include "core/http/SystemClient.h"
#include "core/trust/ReleaseGate.h"
#include "core/uGameRun.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <filesystem>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Trust = ServerListLoader::ListTrust;

struct Rows final : RowCountView {
  void SetRowCount(std::size_t count) override { rows = count; }
  std::size_t rows = 99;
};

class SignedBox : public ::testing::Test {
 protected:
  SignedBox() {
    EXPECT_EQ(Admin("new-site " + ShellQuote(Site().string())).status, 0);
    current_.emplace(admin::SigningKey::Generate(dir_ / "current.pem"));
    standby_.emplace(admin::SigningKey::Generate(dir_ / "standby.pem"));
    const auto stamped = Admin("stamp " + ShellQuote(kProbe) + " " + ShellQuote((Site() / "box").string()) +
                               " --url http://127.0.0.1:1/ --name Corvessa --site-dir " + ShellQuote(Site().string()) +
                               " --trust-key " + admin::PublicKeyText(current_->PublicKey()) + " --trust-key " +
                               admin::PublicKeyText(standby_->PublicKey()));
    EXPECT_EQ(stamped.status, 0) << stamped.output;
    trust_ = admin::BoxImage(Site() / "box").Settings().trust;
    Sign(*current_);
    service_.emplace(Site());
  }
  fs::path Site() const { return dir_ / "site"; }
  trust::ReleaseRecord Sign(const admin::SigningKey& key) {
    admin::SiteFolder site(Site());
    return admin::SignSite(site, key, "now");
  }
  ServiceSite Service() const {
    const admin::SiteKeys keys = admin::SiteFolder(Site()).keys();
    return {service_->BaseUrl(), keys.AuthHeaderValue(), keys.key, keys.iv, trust_, mirrors_};
  }
  trust::ReleaseGate Gate() const { return trust::ReleaseGate(trust_, {dir_ / "kept"}); }
  // A record signed here with any fields.
  std::string Record(const admin::SigningKey& key, std::uint64_t serial, const std::string& siteId = "") {
    admin::SiteFolder site(Site());
    trust::ReleaseRecord record = Read(ReadFile(site.Record()));
    record.serial = serial;
    record.keyFingerprint = trust::KeyFingerprint(key.PublicKey());
    if (!siteId.empty()) record.siteId = siteId;
    const std::string body = trust::RecordBody(record);
    return trust::SignedRecord(body, key.Sign({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()}));
  }
  trust::ReleaseRecord Read(const std::string& text) const {
    return *trust::ReadRecord(text, std::vector(trust_.keys.begin(), trust_.keys.end())).record;
  }
  void Serve(const std::string& record) { WriteFile(Site() / "release.txt", record); }

  TempDir dir_;
  std::vector<std::string> mirrors_;  // the box's, as stamped
  std::optional<admin::SigningKey> current_, standby_;
  site::Trust trust_;
  std::optional<RunningService> service_;
  http::SystemClient client_;
  Rows rows_;
};

TEST_F(SignedBox, TakesTheSignedListBannerAndLaunchersAndNothingElse) {
  trust::ReleaseGate gate = Gate();
  ServerListLoader loader(client_, rows_, [this] { return Service(); });
  loader.SetGate(&gate);
  ASSERT_EQ(loader.LoadServerList(), Trust::Taken);
  EXPECT_EQ(rows_.rows, 25u);
  ASSERT_NE(loader.ListRelease(), nullptr);
  EXPECT_TRUE(loader.BannerSigned(loader.LoadLogo()));
  http::Bytes other = loader.LoadLogo();
  other[100] ^= 1;
  EXPECT_FALSE(loader.BannerSigned(other));

  // The attacker's list names a launcher of theirs with its correct MD5: no rows.
  const std::string signedList = ReadFile(Site() / "release" / "servers.json");
  std::string forged = signedList;
  forged.replace(forged.find("\"Md5\""), 5, "\"Md5\" ");
  WriteFile(Site() / "release" / "servers.json", forged);
  EXPECT_EQ(loader.LoadServerList(), Trust::Unverified);
  EXPECT_EQ(rows_.rows, 0u);
  EXPECT_EQ(loader.ListRelease(), nullptr);
  WriteFile(Site() / "release" / "servers.json", signedList);

  // An edited servers.json changes nothing for players until the next sign.
  WriteFile(Site() / "servers.json", forged);
  EXPECT_EQ(loader.LoadServerList(), Trust::Taken);
  EXPECT_EQ(rows_.rows, 25u);
}

TEST_F(SignedBox, VerifyChecksALiveServiceAsTheBoxWould) {
  const std::string command =
      "verify " + ShellQuote(Service().serverUrl) + " --box " + ShellQuote((Site() / "box").string());
  const auto matching = Admin(command);
  EXPECT_EQ(matching.status, 0) << matching.output;
  WriteFile(Site() / "launchers" / "corvessa_dawn.exe", "replaced");
  const auto changed = Admin(command);
  EXPECT_EQ(changed.status, 1);
  EXPECT_NE(changed.output.find("the launcher corvessa_dawn does not match the record"), std::string::npos)
      << changed.output;
}

TEST_F(SignedBox, ALauncherMustMatchTheReleaseBeforeItIsKeptOrStarted) {
  trust::ReleaseGate gate = Gate();
  ServerListLoader loader(client_, rows_, [this] { return Service(); });
  loader.SetGate(&gate);
  ASSERT_EQ(loader.LoadServerList(), Trust::Taken);
  const TBoxConfig entry = loader.Config()->ServerList()[3];
  // One bit flipped in the launcher as served, its MD5 in a release of the
  // attacker's making being out of reach: the list's digest still matches it
  // when the attacker also serves it unsigned, so only the release tells.
  trust::ReleaseRecord release = *loader.ListRelease();
  release.launchers[entry.LauncherName].sha256[0] ^= 1;
  DirectWindows windows;
  SetEnvironment("TANDREL_LAUNCHER_PROOF", (dir_ / "proof").string());
  fs::create_directories(dir_ / "box");
  GameRun(windows, platform::SystemShell(), (dir_ / "box/").string(), "", &release)
      .EnterGame(entry, Service().serverUrl);
  EXPECT_EQ(windows.errors, std::vector<std::string>{"提示:系统错误"});
  EXPECT_FALSE(fs::exists(dir_ / "box" / "Downloads" / (entry.LauncherName + ".Dat")));
  EXPECT_FALSE(fs::exists(dir_ / "proof"));
  // The release as signed: kept and started.
  windows.errors.clear();
  GameRun(windows, platform::SystemShell(), (dir_ / "box/").string(), "", loader.ListRelease())
      .EnterGame(entry, Service().serverUrl);
  EXPECT_TRUE(windows.errors.empty());
  EXPECT_TRUE(fs::exists(dir_ / "box" / "Downloads" / (entry.LauncherName + ".Dat")));
}

TEST_F(SignedBox, ARecordOfAnUnknownKeySaysTheBoxIsTooOldAndNoRecordGivesNoRows) {
  admin::SigningKey stranger = admin::SigningKey::Generate(dir_ / "stranger.pem");
  site::Trust fresh = trust_;
  fresh.floor = 1;
  trust::ReleaseGate gate(fresh, {dir_ / "fresh"});
  ServerListLoader loader(client_, rows_, [this] { return Service(); });
  loader.SetGate(&gate);
  Serve(Record(stranger, 9));
  EXPECT_EQ(loader.LoadServerList(), Trust::BoxTooOld);
  EXPECT_EQ(rows_.rows, 0u);
  fs::remove(Site() / "release.txt");
  rows_.rows = 99;
  EXPECT_EQ(loader.LoadServerList(), Trust::Unverified);
  EXPECT_EQ(rows_.rows, 0u);
}

// The update: only the box a verified release names, stamped with its key.
class SignedUpdate : public SignedBox {
 protected:
  SignedUpdate() {
    SetEnvironment("XDG_DATA_HOME", (dir_ / "data").string());
    SetEnvironment("TANDREL_LAUNCHER_PROOF", (dir_ / "proof").string());
    fs::create_directories(dir_ / "running");
    WriteFile(Exe(), "the old box, running");
  }
  std::string Exe() const { return (dir_ / "running" / "box").string(); }
  bool Check() {
    return SelfUpdate(
               client_, windows_, platform::SystemShell(), Exe(), [this] { return Service(); }, [] {})
        .CheckSelfUpdate();
  }
  DirectWindows windows_;
};

TEST_F(SignedUpdate, AnyOtherProgramAsTheBoxLeavesTheBoxAsItWas) {
  // The attacker serves a program of their own (an unsigned stamp of the probe).
  const std::string signedBox = ReadFile(Site() / "box");
  ASSERT_EQ(Admin("stamp " + ShellQuote(kProbe) + " " + ShellQuote((Site() / "box").string()) +
                  " --url http://127.0.0.1:1/ --name Evil --site-dir " + ShellQuote(Site().string()))
                .status,
            0);
  EXPECT_FALSE(Check());
  EXPECT_EQ(ReadFile(Exe()), "the old box, running");
  EXPECT_EQ(windows_.errors, std::vector<std::string>{"提示:更新主程序失败,请重新试,或者联系管理员"});
  // The signed box itself is taken.
  WriteFile(Site() / "box", signedBox);
  windows_.errors.clear();
  EXPECT_TRUE(Check());
  EXPECT_EQ(ReadFile(Exe()), signedBox);
  EXPECT_TRUE(windows_.errors.empty());
}

// A mirror, a plain static server of the tree publish writes for it, serves the
// signed box when the service does not; the release decides what is taken.
TEST_F(SignedUpdate, AMirrorServesTheSignedBoxWhenTheServiceDoesNot) {
  const std::string signedBox = ReadFile(Site() / "box");
  const auto published = Admin("publish " + ShellQuote(Site().string()) + " " + ShellQuote((dir_ / "out").string()) +
                               " --mirror-tree " + ShellQuote((dir_ / "mirror").string()));
  ASSERT_EQ(published.status, 0) << published.output;
  httplib::Server mirror;
  ASSERT_TRUE(mirror.set_mount_point("/", (dir_ / "mirror").string()));
  const int port = mirror.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { mirror.listen_after_bind(); });
  mirrors_ = {"http://127.0.0.1:" + std::to_string(port) + "/"};
  fs::rename(Site() / "box", dir_ / "box-elsewhere");  // the service's box is gone
  EXPECT_TRUE(Check());
  mirror.stop();
  serving.join();
  EXPECT_EQ(ReadFile(Exe()), signedBox);
  EXPECT_TRUE(windows_.errors.empty());
}

TEST_F(SignedUpdate, NoReleaseNoUpdate) {
  fs::remove(Site() / "release.txt");
  EXPECT_FALSE(Check());
  EXPECT_TRUE(windows_.downloads.empty());
  EXPECT_EQ(ReadFile(Exe()), "the old box, running");
}

// TLS on loopback in front of the service, with a certificate of the test's own
// authority; the box's transport is handed that authority as its CA file.
// "/down-to-http/PATH" redirects to PATH on the plain service.
class TlsFront {
 public:
  TlsFront(const IssuedCertificate& issued, const std::string& serviceUrl)
      : server_(issued.certificate.c_str(), issued.key.c_str()) {
    const std::string hostPort = serviceUrl.substr(7, serviceUrl.size() - 8);  // "http://H:P/"
    server_.Get("/down-to-http/(.*)", [serviceUrl](const httplib::Request& req, httplib::Response& res) {
      res.set_redirect(serviceUrl + std::string(req.matches[1]));
    });
    server_.Get(".*", [hostPort](const httplib::Request& req, httplib::Response& res) {
      httplib::Client service("http://" + hostPort);
      httplib::Headers headers;
      if (req.has_header("Authorization")) headers.emplace("Authorization", req.get_header_value("Authorization"));
      if (auto answer = service.Get(req.target, headers)) {
        res.status = answer->status;
        res.set_content(answer->body, answer->get_header_value("Content-Type"));
      }
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TlsFront() {
    server_.stop();
    thread_.join();
  }
  std::string Url(const std::string& host = "127.0.0.1") const {
    return "https://" + host + ":" + std::to_string(port_) + "/";
  }

 private:
  httplib::SSLServer server_;
  int port_ = 0;
  std::thread thread_;
};

class SignedBoxOverHttps : public SignedBox {
 protected:
  SignedBoxOverHttps() : authority_(dir_.path()) {}
  ServiceSite Secure(const TlsFront& front) const {
    ServiceSite site = Service();
    site.serverUrl = front.Url();
    return site;
  }
  TestAuthority authority_;
};

TEST_F(SignedBoxOverHttps, LoadsEverythingFromAServerOfATrustedAuthority) {
  TlsFront front(authority_.Issue("127.0.0.1", "server"), Service().serverUrl);
  http::SystemClient client(nullptr, {authority_.CaFile().string()});
  trust::ReleaseGate gate = Gate();
  ServerListLoader loader(client, rows_, [&] { return Secure(front); });
  loader.SetGate(&gate);
  ASSERT_TRUE(loader.FetchRelease());  // the record
  EXPECT_TRUE(loader.BannerSigned(loader.LoadLogo()));
  ASSERT_EQ(loader.LoadServerList(false), Trust::Taken);
  EXPECT_EQ(rows_.rows, 25u);
  const TBoxConfig& entry = loader.Config()->ServerList()[0];
  const http::Response launcher = client.Get(LauncherUrl(Secure(front), entry.LauncherName));
  EXPECT_EQ(trust::EntryOf(launcher.body), loader.ListRelease()->launchers.at(entry.LauncherName));
  // The update check of the site's own box answers "ok" over https too.
  fs::create_directories(dir_ / "running");
  fs::copy_file(Site() / "box", dir_ / "running" / "box");
  DirectWindows windows;
  SelfUpdate update(
      client, windows, platform::SystemShell(), (dir_ / "running" / "box").string(), [&] { return Secure(front); },
      [] {});
  EXPECT_FALSE(update.CheckSelfUpdate());
  EXPECT_TRUE(windows.downloads.empty());
}

TEST_F(SignedBoxOverHttps, RefusesAnUnknownAuthorityAnExpiredCertificateAnotherNameAndADowngrade) {
  TempDir elsewhere;
  TestAuthority stranger(elsewhere.path());
  const struct {
    const char* what;
    IssuedCertificate certificate;
  } cases[] = {
      {"an unknown authority", stranger.Issue("127.0.0.1", "stranger")},
      {"an expired certificate", authority_.Issue("127.0.0.1", "expired", -7200, -3600)},
      {"a certificate for another name", authority_.Issue("games.example", "other-name")},
  };
  http::SystemClient client(nullptr, {authority_.CaFile().string()});
  // Never from https down to http, though the plain service would answer.
  {
    TlsFront front(authority_.Issue("127.0.0.1", "server"), Service().serverUrl);
    EXPECT_FALSE(client.Get(front.Url() + "getvalue/release.txt").body.empty());
    EXPECT_THROW(client.Get(front.Url() + "down-to-http/getvalue/release.txt"), http::Error);
  }
  for (const auto& c : cases) {
    TlsFront front(c.certificate, Service().serverUrl);
    try {
      client.Get(ReleaseRecordUrl(Secure(front)));
      ADD_FAILURE() << c.what << " was taken";
    } catch (const http::Error& e) {
      EXPECT_NE(std::string(e.what()).find("SSL"), std::string::npos) << c.what << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace tandrel

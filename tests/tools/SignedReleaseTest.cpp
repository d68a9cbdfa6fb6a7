// The operator's signed releases through the built tool: keys made offline, a box
// stamped with them, a site signed and checked as the box will check it; and the
// record's rules, with records signed here and changed byte by byte.
#include "support/AdminTool.h"

#include "OperatorKey.h"
#include "core/trust/ReleaseRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::string Line(const std::string& output) { return output.substr(0, output.find('\n')); }

class SignedRelease : public ::testing::Test {
 protected:
  SignedRelease() {
    EXPECT_EQ(Admin("new-site " + Site()).status, 0);
    current_ = Keygen("current.pem");
    standby_ = Keygen("standby.pem");
  }
  std::string Site() const { return ShellQuote((dir_ / "site").string()); }
  std::string Key(const std::string& name) const { return ShellQuote((dir_ / name).string()); }
  std::string Keygen(const std::string& name) {
    const auto made = Admin("keygen " + Key(name));
    EXPECT_EQ(made.status, 0) << made.output;
    return Line(made.output);
  }
  CommandResult StampWithKeys() {
    return Admin("stamp " + ShellQuote(kProbe) + " " + ShellQuote((dir_ / "site" / "box").string()) +
                 " --url http://127.0.0.1:1/ --name Corvessa --site-dir " + Site() + " --trust-key " + current_ +
                 " --trust-key " + standby_);
  }
  CommandResult Sign(const std::string& key = "current.pem") { return Admin("sign " + Site() + " --key " + Key(key)); }
  std::string Record() const { return ReadFile(dir_ / "site" / "release.txt"); }
  std::uint64_t Serial() const {
    const std::string record = Record();
    return std::stoull(record.substr(record.find("\nserial ") + 8));
  }

  TempDir dir_;
  std::string current_, standby_;
};

TEST_F(SignedRelease, KeysAreMadeOnceOutsideSiteFolders) {
  EXPECT_EQ(fs::status(dir_ / "current.pem").permissions() & fs::perms::all, fs::perms(0600));
  EXPECT_EQ(current_.size(), 88u);
  const std::string before = ReadFile(dir_ / "current.pem");
  EXPECT_NE(Admin("keygen " + Key("current.pem")).status, 0);  // never over a file
  EXPECT_EQ(ReadFile(dir_ / "current.pem"), before);
  const auto inside = Admin("keygen " + ShellQuote((dir_ / "site" / "launchers" / "k.pem").string()));
  EXPECT_NE(inside.status, 0);
  EXPECT_NE(inside.output.find("outside every site folder"), std::string::npos) << inside.output;
  EXPECT_FALSE(fs::exists(dir_ / "site" / "launchers" / "k.pem"));
}

TEST_F(SignedRelease, StampPutsBothKeysTheSiteIdAndTheFloorIntoTheBox) {
  ASSERT_EQ(StampWithKeys().status, 0);
  const auto shown = Admin("show " + ShellQuote((dir_ / "site" / "box").string()));
  EXPECT_NE(shown.output.find("TrustKey         " + current_), std::string::npos) << shown.output;
  EXPECT_NE(shown.output.find("TrustKey         " + standby_), std::string::npos) << shown.output;
  EXPECT_NE(shown.output.find("Floor            1\n"), std::string::npos) << shown.output;
  const std::string conf = ReadFile(dir_ / "site" / "site.conf");
  const std::size_t at = conf.find("site-id = ");
  ASSERT_NE(at, std::string::npos) << conf;
  EXPECT_NE(shown.output.find("SiteId           " + conf.substr(at + 10, 32)), std::string::npos);
  // One key, the same key twice, or a key without its site: refused.
  for (const std::string& options :
       {" --trust-key " + current_, " --trust-key " + current_ + " --trust-key " + current_}) {
    EXPECT_EQ(Admin("stamp " + ShellQuote(kProbe) + " " + Key("other") + " --url http://h/ --name N --site-dir " +
                    Site() + options)
                  .status,
              2)
        << options;
  }
  EXPECT_EQ(Admin("stamp " + ShellQuote(kProbe) + " " + Key("other") + " --url http://h/ --name N --trust-key " +
                  current_ + " --trust-key " + standby_)
                .status,
            2);
}

TEST_F(SignedRelease, SerialsOnlyGoUpAndVerifyFindsEveryChange) {
  ASSERT_EQ(StampWithKeys().status, 0);
  ASSERT_EQ(Sign().status, 0);
  EXPECT_EQ(Serial(), 1u);
  EXPECT_EQ(Admin("verify " + Site()).status, 0);
  // The standby signs only once the box trusts it first: a rotation.
  const auto early = Sign("standby.pem");
  EXPECT_NE(early.output.find("this is the standby of the site's box"), std::string::npos) << early.output;
  const std::string next = Keygen("next-standby.pem");
  ASSERT_EQ(Admin("stamp " + ShellQuote(kProbe) + " " + ShellQuote((dir_ / "site" / "box").string()) +
                  " --url http://127.0.0.1:1/ --name Corvessa --site-dir " + Site() + " --trust-key " + standby_ +
                  " --trust-key " + next)
                .status,
            0);
  ASSERT_EQ(Sign("standby.pem").status, 0);
  EXPECT_EQ(Serial(), 2u);
  fs::remove(dir_ / "site" / "release.txt");  // a lost record does not send the serial back
  ASSERT_EQ(Sign("standby.pem").status, 0);
  EXPECT_EQ(Serial(), 3u);
  // The signed copies stand for what players get, whatever servers.json says now.
  { std::ofstream(dir_ / "site" / "servers.json", std::ios::app) << " "; }
  EXPECT_EQ(Admin("verify " + Site()).status, 0);
  const std::vector<fs::path> changed = {"release/servers.json", "release/logo.png", "box",
                                         "launchers/corvessa_dawn.exe"};
  for (const fs::path& file : changed) {
    const std::string kept = ReadFile(dir_ / "site" / file);
    { std::ofstream(dir_ / "site" / file, std::ios::app) << "x"; }
    const auto checked = Admin("verify " + Site());
    EXPECT_EQ(checked.status, 1) << file;
    EXPECT_NE(checked.output.find("does not match the record"), std::string::npos) << checked.output;
    WriteFile(dir_ / "site" / file, kept);
  }
  EXPECT_EQ(Admin("verify " + Site()).status, 0);
}

TEST_F(SignedRelease, ServeSaysWhenTheSiteNoLongerMatchesItsRecord) {
  ASSERT_EQ(StampWithKeys().status, 0);
  ASSERT_EQ(Sign().status, 0);
  const auto matching = Admin("serve " + Site() + " --exit-after 1");
  EXPECT_NE(matching.output.find("release: the site matches its signed record"), std::string::npos) << matching.output;
  WriteFile(dir_ / "site" / "launchers" / "corvessa_dawn.exe", "not the signed launcher");
  const auto changed = Admin("serve " + Site() + " --exit-after 1");
  EXPECT_NE(changed.output.find("release: the launcher corvessa_dawn does not match the record: sign the site again"),
            std::string::npos)
      << changed.output;
}

TEST_F(SignedRelease, SignRefusesASiteTheBoxWouldRefuse) {
  const auto unstamped = Sign();
  EXPECT_NE(unstamped.status, 0);
  ASSERT_EQ(StampWithKeys().status, 0);
  Keygen("stranger.pem");
  const auto stranger = Sign("stranger.pem");
  EXPECT_NE(stranger.output.find("not stamped with this key"), std::string::npos) << stranger.output;
  const std::string list = ReadFile(dir_ / "site" / "servers.json");
  const struct {
    const char* what;
    std::function<void()> change;
    const char* says;
  } cases[] = {
      {"a launcher missing", [&] { fs::remove(dir_ / "site" / "launchers" / "corvessa_dawn.exe"); }, "is missing"},
      {"a launcher changed", [&] { WriteFile(dir_ / "site" / "launchers" / "corvessa_dawn.exe", "x"); },
       "does not match the list's Md5"},
      {"a launcher named box",
       [&] {
         std::string renamed = list;
         renamed.replace(renamed.find("corvessa_dawn"), 13, "BOX");
         WriteFile(dir_ / "site" / "servers.json", renamed);
       },
       "the box refuses"},
  };
  const std::string dawn = ReadFile(dir_ / "site" / "launchers" / "corvessa_dawn.exe");
  for (const auto& c : cases) {
    c.change();
    const auto refused = Sign();
    EXPECT_NE(refused.status, 0) << c.what;
    EXPECT_NE(refused.output.find(c.says), std::string::npos) << c.what << ": " << refused.output;
    EXPECT_FALSE(fs::exists(dir_ / "site" / "release.txt")) << c.what;
    WriteFile(dir_ / "site" / "launchers" / "corvessa_dawn.exe", dawn);
    WriteFile(dir_ / "site" / "servers.json", list);
  }
  EXPECT_EQ(Sign().status, 0);
}

// The record's rules, with records signed here.
class RecordRules : public ::testing::Test {
 protected:
  RecordRules()
      : key_(admin::SigningKey::Generate(dir_ / "k.pem")), other_(admin::SigningKey::Generate(dir_ / "o.pem")) {
    record_.siteId = std::string(32, 'a');
    record_.serial = 7;
    record_.signedAt = "2026-12-11T00:00:00Z";
    record_.keyFingerprint = trust::KeyFingerprint(key_.PublicKey());
    record_.list = {10, {1}};
    record_.banner = {20, {2}};
    record_.box = {30, {3}};
    record_.launchers = {{"游戏 a", {40, {4}}}, {"b", {50, {5}}}};
  }
  std::string Signed(const std::string& body, const admin::SigningKey& key) const {
    return trust::SignedRecord(body, key.Sign({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()}));
  }
  trust::RecordReading Read(const std::string& text) const {
    const std::array<platform::P256PublicKey, 1> keys{key_.PublicKey()};
    return trust::ReadRecord(text, keys);
  }

  TempDir dir_;
  admin::SigningKey key_, other_;
  trust::ReleaseRecord record_;
};

TEST_F(RecordRules, AWholeRecordReadsBackAsSigned) {
  const trust::RecordReading reading = Read(Signed(trust::RecordBody(record_), key_));
  ASSERT_TRUE(reading.record);
  EXPECT_EQ(trust::RecordBody(*reading.record), trust::RecordBody(record_));
  EXPECT_EQ(reading.record->launchers.at("游戏 a").size, 40u);
}

TEST_F(RecordRules, EveryBrokenRuleIsRefused) {
  using Fault = trust::RecordFault;
  const std::string body = trust::RecordBody(record_);
  const std::string whole = Signed(body, key_);
  std::string flipped = whole;
  flipped[body.find("serial 7") + 7] = '8';
  trust::ReleaseRecord byOther = record_;
  byOther.keyFingerprint = trust::KeyFingerprint(other_.PublicKey());
  const auto insert = [&](const std::string& after, const std::string& line) {
    std::string changed = body;
    changed.insert(changed.find(after) + after.size(), line);
    return Signed(changed, key_);
  };
  const struct {
    const char* what;
    std::string text;
    Fault fault;
  } cases[] = {
      {"a byte changed", flipped, Fault::BadSignature},
      {"a byte after the signature", whole + "x", Fault::Malformed},
      {"a second box line after the signature", whole + "box 30 " + std::string(64, '0') + "\n", Fault::Malformed},
      {"signed by a key not given", Signed(trust::RecordBody(byOther), other_), Fault::UnknownKey},
      {"naming one key, signed by another", Signed(body, other_), Fault::BadSignature},
      {"a field twice", insert("serial 7\n", "serial 9\n"), Fault::Malformed},
      {"a launcher named twice", Signed(body + "launcher 50 " + std::string(64, '0') + " b\n", key_), Fault::Malformed},
      {"an unknown field", Signed(body + "mirror http://elsewhere/\n", key_), Fault::Malformed},
      {"over 64 KiB", Signed(body + "launcher 1 " + std::string(64, '0') + " " + std::string(70000, 'n') + "\n", key_),
       Fault::Malformed},
      {"no signature", body, Fault::Malformed},
  };
  for (const auto& c : cases) {
    const auto reading = Read(c.text);
    EXPECT_FALSE(reading.record) << c.what;
    EXPECT_EQ(reading.fault, c.fault) << c.what;
  }
}

}  // namespace
}  // namespace tandrel

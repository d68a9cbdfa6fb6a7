// Which release records a box takes, on both homes, against an attacker who has a
// copy of the box: records signed by the test's loopback signer ("signing" route
// set: a current key, a standby and a stranger's), kept in real folders.
#include "core/Hex.h"
#include "core/http/SystemClient.h"
#include "core/trust/ReleaseGate.h"

#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tandrel::trust {
namespace {

namespace fs = std::filesystem;

const std::string kSite(32, 'a');

std::string Text(const http::Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

class ReleaseGateTest : public ::testing::Test {
 protected:
  ReleaseGateTest() {
    std::istringstream lines(Text(client_.Get(server_.Url("/keys")).body));
    for (const char* name : {"current", "standby", "stranger"}) {
      std::string line;
      std::getline(lines, line);
      const auto bytes = platform::Base64Decode(line);
      EXPECT_TRUE(bytes && bytes->size() == 64) << name;
      if (bytes) std::copy(bytes->begin(), bytes->end(), keys_[name].begin());
    }
    trust_.keys = {keys_["current"], keys_["standby"]};
    const auto id = FromHex(kSite);
    std::copy(id->begin(), id->end(), trust_.siteId.begin());
    trust_.floor = 1;
  }
  // A record signed by key ("current", "standby" or "stranger"); extra lines
  // are signed with it.
  std::string Record(const std::string& key, std::uint64_t serial, const std::string& site = kSite,
                     const std::string& extra = "") {
    ReleaseRecord record;
    record.siteId = site;
    record.serial = serial;
    record.signedAt = "2026-12-11T00:00:00Z";
    record.keyFingerprint = KeyFingerprint(keys_[key]);
    record.list = {10, {1}};
    record.banner = {20, {2}};
    record.box = {30, {3}};
    record.launchers = {{"corvessa_dawn", {40, {4}}}};
    server_.Set("to-sign", RecordBody(record) + extra);
    return Text(client_.Get(server_.Url("/signed/" + key)).body);
  }
  ReleaseGate Gate() const { return ReleaseGate(trust_, {dir_ / "user-data", dir_ / "beside-the-box"}); }

  test::LoopbackServer server_{"signing"};
  http::SystemClient client_;
  test::TempDir dir_;
  std::map<std::string, platform::P256PublicKey> keys_;
  site::Trust trust_;
};

TEST_F(ReleaseGateTest, RefusesReplaysOtherSitesUnknownKeysAndBrokenRecordsAndKeepsTheLastGoodOne) {
  ReleaseGate gate = Gate();
  ASSERT_EQ(gate.Offer(Record("current", 1)), Verdict::Accepted);
  const std::string second = Record("current", 2);
  ASSERT_EQ(gate.Offer(second), Verdict::Accepted);
  std::string flipped = second;
  flipped[flipped.find("list ") + 5] ^= 1;
  const struct {
    const char* what;
    std::string record;
    Verdict verdict;
  } cases[] = {
      {"an older record", Record("current", 1), Verdict::Refused},
      {"another site's, by the same key", Record("current", 9, std::string(32, 'f')), Verdict::Refused},
      {"an unknown key's", Record("stranger", 9), Verdict::UnknownKey},
      {"an unknown key's for another site", Record("stranger", 9, std::string(32, 'f')), Verdict::Refused},
      {"the same serial, signed again", Record("current", 2), Verdict::Refused},
      {"a second box line after the signature", second + "box 1 " + std::string(64, '0') + "\n", Verdict::Refused},
      {"a field twice", Record("current", 9, kSite, "serial 10\n"), Verdict::Refused},
      {"one bit flipped", flipped, Verdict::Refused},
      {"no record, an error page", "<html>502 Bad Gateway</html>", Verdict::Refused},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gate.Offer(c.record), c.verdict) << c.what;
    ASSERT_NE(gate.Current(), nullptr) << c.what;
    EXPECT_EQ(gate.Current()->serial, 2u) << c.what << ": the record in force stays";
  }
  EXPECT_EQ(gate.Offer(second), Verdict::Accepted) << "the very record taken, fetched again";
  // The next start takes what was kept, from either folder; a lost folder is no loss.
  fs::remove_all(dir_ / "user-data");
  const ReleaseGate next = Gate();
  ASSERT_NE(next.Current(), nullptr);
  EXPECT_EQ(next.Current()->serial, 2u);
  EXPECT_EQ(Gate().Current()->list, (FileEntry{10, {1}}));
}

TEST_F(ReleaseGateTest, TheStandbyRetiresTheCurrentKeyAndALeakedSerialLocksNobodyOut) {
  ReleaseGate gate = Gate();
  // A leaked current key signs a record with a huge serial: taken, for now.
  ASSERT_EQ(gate.Offer(Record("current", 1000000)), Verdict::Accepted);
  // The operator rotates: the standby's next record is taken despite its serial.
  ASSERT_EQ(gate.Offer(Record("standby", 5)), Verdict::Accepted);
  EXPECT_EQ(gate.Current()->serial, 5u);
  // From now on the old key is refused, here and at every later start.
  EXPECT_EQ(gate.Offer(Record("current", 2000000)), Verdict::Refused);
  EXPECT_EQ(Gate().Offer(Record("current", 2000000)), Verdict::Refused);
  EXPECT_EQ(Gate().Current()->serial, 5u);
  // The box the standby's release brings is stamped with the standby and a new
  // standby: it takes the standby's next record and keeps refusing the old key.
  site::Trust next = trust_;
  next.keys = {keys_["standby"], keys_["stranger"]};
  ReleaseGate updated(next, {dir_ / "user-data", dir_ / "beside-the-box"});
  EXPECT_EQ(updated.Offer(Record("standby", 6)), Verdict::Accepted);
  // Not stamped into it and retired: refused, not taken for a newer box's key.
  EXPECT_EQ(updated.Offer(Record("current", 3000000)), Verdict::Refused);
}

// A second start of the box (two running at once) takes a newer record: the first
// never takes one below it afterwards, nor writes what it kept back down.
TEST_F(ReleaseGateTest, TwoStartsOfTheBoxNeverWriteEachOtherBack) {
  ReleaseGate first = Gate();
  ASSERT_EQ(first.Offer(Record("current", 1)), Verdict::Accepted);
  ReleaseGate second = Gate();
  const std::string newer = Record("current", 3);
  ASSERT_EQ(second.Offer(newer), Verdict::Accepted);
  EXPECT_EQ(first.Offer(Record("current", 2)), Verdict::Refused);
  EXPECT_EQ(first.Offer(newer), Verdict::Accepted) << "the very record the other took";
  EXPECT_EQ(Gate().Current()->serial, 3u);
}

TEST_F(ReleaseGateTest, AFreshInstallRefusesWhatIsOlderThanTheReleaseItCameWith) {
  trust_.floor = 3;
  ReleaseGate gate = Gate();
  EXPECT_EQ(gate.Current(), nullptr);
  EXPECT_EQ(gate.Offer(Record("current", 2)), Verdict::Refused);
  EXPECT_EQ(gate.Current(), nullptr);
  EXPECT_EQ(gate.Offer(Record("current", 3)), Verdict::Accepted);
}

}  // namespace
}  // namespace tandrel::trust

// The operator's list commands and the service command, run as the operator runs them.
#include "SiteFolder.h"

#include "core/Hex.h"
#include "core/crypto.h"
#include "core/http/SystemClient.h"

#include "support/AdminTool.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace test;  // the operator tool's runner and temporary folders
const std::string kKey = "000102030405060708090a0b0c0d0e0f", kIv = "f0e0d0c0b0a090807060504030201000";

std::string Q(const fs::path& p) { return ShellQuote(p.string()); }

const std::string kDocument =
    R"({"ServerList":{"FListHelper":[{"ServerName":"赤焰1区","LauncherName":"a","Url":"","BriefIntroduction":"line)"
    R"(\tone","BeginTime":"12月31日上午11:00","Md5":"00"},{"ServerName":"B"}]}})";

TEST(AdminList, EncryptIsOpensslEncAndDecryptKeepsThePadding) {
  TempDir dir;
  test::WriteFile(dir / "servers.json", kDocument);
  ASSERT_EQ(Admin("encrypt --key " + kKey + " --iv " + kIv + " " + Q(dir / "servers.json") + " " + Q(dir / "list.bin"))
                .status,
            0);
  const auto openssl = RunCommand("openssl enc -aes-128-cbc -K " + kKey + " -iv " + kIv + " -in " +
                                  Q(dir / "servers.json") + " -out " + Q(dir / "openssl.bin"));
  ASSERT_EQ(openssl.status, 0);
  EXPECT_EQ(test::ReadFile(dir / "list.bin"), test::ReadFile(dir / "openssl.bin"));

  ASSERT_EQ(Admin("decrypt --key " + kKey + " --iv " + kIv + " " + Q(dir / "list.bin") + " " + Q(dir / "plain")).status,
            0);
  const std::size_t padding = 16 - kDocument.size() % 16;
  EXPECT_EQ(test::ReadFile(dir / "plain"), kDocument + std::string(padding, static_cast<char>(padding)));

  EXPECT_NE(Admin("encrypt " + Q(dir / "servers.json") + " " + Q(dir / "x")).status, 0);  // no key given
  EXPECT_NE(Admin("encrypt --key " + kKey + " --iv 00 " + Q(dir / "servers.json") + " " + Q(dir / "x")).status, 0);
  EXPECT_FALSE(fs::exists(dir / "x"));
}

TEST(AdminList, CheckPrintsEntriesOrTheBoxsError) {
  TempDir dir;
  test::WriteFile(dir / "servers.json", kDocument);
  const auto lines = Admin("check " + Q(dir / "servers.json"));
  EXPECT_EQ(lines.status, 0);
  EXPECT_EQ(lines.output, "赤焰1区\ta\t\tline\\tone\t12月31日上午11:00\t00\nB\t\t\t\t\t\n");

  const auto json = Admin("check --json " + Q(dir / "servers.json"));
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.output.find("\"ServerName\": \"赤焰1区\",\n    \"LauncherName\": \"a\",\n    \"Url\": \"\",\n"
                             "    \"BriefIntroduction\": \"line\\tone\""),
            std::string::npos)
      << json.output;

  test::WriteFile(dir / "bad.json", R"({"ServerList":{"FListHelper":[{"Md5":7}]}})");
  const auto bad = Admin("check " + Q(dir / "bad.json"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.output, "Invalid class typecast\n");

  ASSERT_EQ(Admin("encrypt --key " + kKey + " --iv " + kIv + " " + Q(dir / "servers.json") + " " + Q(dir / "list.bin"))
                .status,
            0);
  const auto encrypted = Admin("check --encrypted --key " + kKey + " --iv " + kIv + " " + Q(dir / "list.bin"));
  EXPECT_EQ(encrypted.status, 0);
  EXPECT_EQ(encrypted.output, lines.output);
  // Under the wrong key the body reads as garbage, as the box would read it.
  const auto wrongKey = Admin("check --encrypted --key " + kIv + " --iv " + kIv + " " + Q(dir / "list.bin"));
  EXPECT_EQ(wrongKey.status, 1);
}

TEST(AdminList, CheckAndPublishRefuseNamesWindowsReadsAsDevicesOrStreams) {
  TempDir dir;
  ASSERT_EQ(Admin("new-site " + Q(dir / "site")).status, 0);
  ASSERT_EQ(Admin("stamp " + Q(kProbe) + " " + Q(dir / "site" / "box") +
                  " --url http://127.0.0.1:1/ --name N --site-dir " + Q(dir / "site"))
                .status,
            0);
  std::string list = test::ReadFile(dir / "site" / "servers.json");
  list.replace(list.find("corvessa_dawn"), 13, "COM1");
  test::WriteFile(dir / "site" / "servers.json", list);
  const auto checked = Admin("check " + Q(dir / "site" / "servers.json"));
  EXPECT_EQ(checked.status, 1);
  EXPECT_NE(checked.output.find("the launcher name \"COM1\" is one the box refuses"), std::string::npos)
      << checked.output;
  const auto published = Admin("publish " + Q(dir / "site") + " " + Q(dir / "out"));
  EXPECT_NE(published.status, 0);
  EXPECT_NE(published.output.find("\"COM1\" is one the box refuses"), std::string::npos) << published.output;
}

// True when the text holds a control character raw: C0 (but the line breaks and tabs
// that separate entries and fields), DEL, or C1 in UTF-8.
bool HoldsControls(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 32 && c != '\n' && c != '\t') || c == 127) return true;  // the output's own separators aside
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      return true;
    }
  }
  return false;
}

TEST(AdminList, CheckEscapesTheControlCharactersOfAList) {
  TempDir dir;
  // An xterm title change and a screen clear, a DEL, a C1 CSI (U+009B) and a bell.
  test::WriteFile(dir / "servers.json",
                  R"({"ServerList":{"FListHelper":[{"ServerName":"\u001b]0;pwned\u0007\u001b[2J","LauncherName":"a",)"
                  R"("BriefIntroduction":"\u009b31mred\u007f","BeginTime":"赤焰\u0007"}]}})");
  const auto lines = Admin("check " + Q(dir / "servers.json"));
  EXPECT_EQ(lines.status, 0);
  EXPECT_FALSE(HoldsControls(lines.output)) << lines.output;
  EXPECT_EQ(lines.output, "\\x1b]0;pwned\\x07\\x1b[2J\ta\t\t\\u009b31mred\\x7f\t赤焰\\x07\t\n");

  const auto json = Admin("check --json " + Q(dir / "servers.json"));
  EXPECT_EQ(json.status, 0);
  EXPECT_FALSE(HoldsControls(json.output)) << json.output;
  EXPECT_NE(json.output.find("\\u009b31mred\\u007f"), std::string::npos) << json.output;
  EXPECT_NE(json.output.find("pwned"), std::string::npos) << json.output;

  ASSERT_EQ(Admin("encrypt --key " + kKey + " --iv " + kIv + " " + Q(dir / "servers.json") + " " + Q(dir / "list.bin"))
                .status,
            0);
  const auto encrypted = Admin("check --encrypted --key " + kKey + " --iv " + kIv + " " + Q(dir / "list.bin"));
  EXPECT_EQ(encrypted.output, lines.output);

  // The box's error names the unexpected member: escaped as well, from check and from publish.
  test::WriteFile(dir / "bad.json", R"({"ServerList":{"\u001b]0;pwned\u0007":1}})");
  const auto bad = Admin("check " + Q(dir / "bad.json"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_FALSE(HoldsControls(bad.output)) << bad.output;
  EXPECT_NE(bad.output.find("'\\x1b]0;pwned\\x07'"), std::string::npos) << bad.output;
  ASSERT_EQ(Admin("new-site " + Q(dir / "site")).status, 0);
  test::WriteFile(dir / "site" / "box", "a box");
  fs::copy_file(dir / "bad.json", dir / "site" / "servers.json", fs::copy_options::overwrite_existing);
  const auto published = Admin("publish " + Q(dir / "site") + " " + Q(dir / "out"));
  EXPECT_NE(published.status, 0);
  EXPECT_FALSE(HoldsControls(published.output)) << published.output;
  EXPECT_NE(published.output.find("\\x1b]0;pwned"), std::string::npos) << published.output;
}

TEST(AdminSite, NewSiteStampAndServeAgree) {
  TempDir dir;
  const fs::path site = dir / "site";
  ASSERT_EQ(Admin("new-site " + Q(site)).status, 0);
  EXPECT_NE(Admin("new-site " + Q(site)).status, 0);  // never over an existing site

  // Its list reads as the box reads it, and every digest is its launcher's.
  const auto json = Admin("check --json " + Q(site / "servers.json"));
  ASSERT_EQ(json.status, 0) << json.output;
  const auto entries = Admin("check " + Q(site / "servers.json"));
  int rows = 0;
  std::size_t at = 0;
  while ((at = entries.output.find('\n', at)) != std::string::npos) ++rows, ++at;
  EXPECT_EQ(rows, 25);
  for (const auto& file : fs::directory_iterator(site / "launchers")) {
    EXPECT_NE(entries.output.find(GetFileMd5(file.path().string())), std::string::npos) << file.path();
  }

  // A box stamped from the site folder carries the site's keys; the site serves with them
  // even when its keys come from that box alone.
  const fs::path box = site / "box";
  ASSERT_EQ(Admin("stamp " + ShellQuote(kProbe) + " " + Q(box) +
                  " --url http://127.0.0.1:1/ --name Corvessa --site-dir " + Q(site))
                .status,
            0);
  const admin::SiteKeys keys = admin::ReadSiteConf(site / "site.conf");
  const auto probe = RunCommand(Q(box));
  EXPECT_NE(probe.output.find("ConfigKey=" + ToHex(keys.key)), std::string::npos) << probe.output;
  EXPECT_NE(probe.output.find("Authorization=" + keys.AuthHeaderValue()), std::string::npos);
  fs::rename(site / "site.conf", dir / "site.conf.away");

  const std::string log = (dir / "serve.log").string();
  const auto started =
      RunCommand(ShellQuote(kAdmin) + " serve " + Q(site) + " --exit-after 20 > " + ShellQuote(log) +
                 " 2>&1 & for i in $(seq 100); do [ -s " + ShellQuote(log) + " ] && break; sleep 0.05; done");
  ASSERT_EQ(started.status, 0);
  const std::string firstLine = test::ReadFile(log).substr(0, test::ReadFile(log).find('\n'));
  ASSERT_TRUE(firstLine.starts_with("http://127.0.0.1:") && firstLine.ends_with("/")) << firstLine;

  http::SystemClient client;
  const auto list = client.Get(firstLine, {{"Authorization", keys.AuthHeaderValue()}});
  EXPECT_EQ(list.status, 200);
  const auto plain = DecryptServerList(list.body, keys.key, keys.iv);
  EXPECT_EQ(std::string(plain.begin(), plain.end()).substr(0, 30), test::ReadFile(site / "servers.json").substr(0, 30));
  const auto check =
      client.Get(firstLine + "getcode/?hash=" + GetFileMd5(box.string()), {{"Authorization", keys.AuthHeaderValue()}});
  EXPECT_EQ(std::string(check.body.begin(), check.body.end()), "ok");
  RunCommand("pkill -TERM -f " + ShellQuote("serve " + site.string()));
}

}  // namespace
}  // namespace tandrel

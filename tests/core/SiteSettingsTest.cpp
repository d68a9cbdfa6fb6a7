#include "core/Share.h"
#include "core/SiteBlock.h"

#include <gtest/gtest.h>

#include <vector>

namespace tandrel {
namespace {

site::Settings Sample() {
  site::Settings s;
  s.serverUrl = "https://games.example/box/";
  s.shortcutName = "  盒子 Corvessa\t";
  s.installDirName = "Corvessa";
  s.traceTag = "7654321";
  for (std::uint8_t i = 0; i < 16; ++i) {
    s.configKey[i] = i;
    s.configIv[i] = static_cast<std::uint8_t>(0xF0 + i);
  }
  s.authHeaderValue = site::BasicAuthorization(std::string(32, 'a'), std::string(32, 'b'));
  return s;
}

TEST(SiteBlock, EncodesSpaceFilledCp936FieldsAndDecodesThemBack) {
  const site::Block block = site::Encode(Sample());
  const std::string_view name(reinterpret_cast<const char*>(block.data() + site::kShortcutNameAt), site::kFieldSize);
  EXPECT_EQ(name.substr(0, 6), "  \xBA\xD0\xD7\xD3");  // 盒子 in code page 936
  EXPECT_EQ(name.find_last_not_of(' '), 15u);          // the tab; then spaces up to 150 bytes

  const site::Settings back = site::Decode(block);
  EXPECT_EQ(back.shortcutName, Sample().shortcutName + std::string(150 - 16, ' '));
  EXPECT_EQ(back.configKey, Sample().configKey);
  EXPECT_EQ(back.configIv, Sample().configIv);
  EXPECT_EQ(back.authHeaderValue, Sample().authHeaderValue);
}

// The mirrors follow every older field behind their own tag: an older box still
// reads those where they were, and a block from before the mirrors has none.
TEST(SiteBlock, MirrorsFollowTheOlderFieldsBehindATag) {
  site::Settings s = Sample();
  s.mirrors = {"https://m1.example/box/", "http://127.0.0.1:9/m2/"};
  site::Block block = site::Encode(s);
  EXPECT_EQ(site::Decode(block).mirrors, s.mirrors);
  EXPECT_EQ(site::kMirrorsTagAt, site::kFloorAt + 8);  // nothing before it moved
  EXPECT_EQ(site::Decode(block).serverUrl.substr(0, s.serverUrl.size()), s.serverUrl);

  std::fill(block.begin() + site::kMirrorsTagAt, block.end(), std::uint8_t{0xCC});  // what an older binary has there
  EXPECT_TRUE(site::Decode(block).mirrors.empty());
  EXPECT_EQ(site::Decode(block).authHeaderValue, s.authHeaderValue);

  s.mirrors.assign(4, "http://m/");
  EXPECT_THROW(site::Encode(s), std::invalid_argument);
}

TEST(SiteBlock, RefusesValuesThatDoNotFit) {
  site::Settings s = Sample();
  s.installDirName.clear();
  for (int i = 0; i < 75; ++i) s.installDirName += "字";  // 150 bytes in code page 936
  EXPECT_NO_THROW(site::Encode(s));
  s.installDirName += "x";
  EXPECT_THROW(site::Encode(s), std::invalid_argument);

  s = Sample();
  s.traceTag = "\xF0\x9F\x98\x80";
  EXPECT_THROW(site::Encode(s), std::invalid_argument);

  s = Sample();
  s.authHeaderValue = "Basic abc";
  EXPECT_THROW(site::Encode(s), std::invalid_argument);
}

TEST(SiteBlock, BasicAuthorizationHas88Base64Characters) {
  const std::string value = site::BasicAuthorization(std::string(32, '0'), std::string(32, 'f'));
  EXPECT_EQ(value.size(), site::kAuthSize);
  EXPECT_EQ(value.substr(0, 10), "Basic MDAw");
}

TEST(SiteBlock, IsFoundOnlyWhenItsMarkerStandsExactlyOnce) {
  const site::Block block = site::Encode(Sample());
  std::vector<std::uint8_t> image(100, 0xCC);
  EXPECT_THROW(site::Find(image), std::invalid_argument);

  image.insert(image.end(), block.begin(), block.end());
  image.resize(image.size() + 50, 0xCC);
  EXPECT_EQ(site::Find(image), 100u);

  image.insert(image.end(), block.begin(), block.end());
  EXPECT_THROW(site::Find(image), std::invalid_argument);

  const std::vector<std::uint8_t> cutOff(block.begin(), block.begin() + 200);
  EXPECT_THROW(site::Find(cutOff), std::invalid_argument);
}

TEST(Share, ReadsTheBuiltInSettingsTrimmedAndTheTraceTagRaw) {
  EXPECT_EQ(ServerUrl(), "http://127.0.0.1:8780/");
  EXPECT_EQ(ShortcutName(), "Corvessa");
  EXPECT_EQ(InstallDirName(), "Corvessa");
  const auto tag = TraceTag();
  EXPECT_EQ(std::string(tag.data(), 7), "1000001");
  EXPECT_EQ(std::string(tag.data() + 7, tag.size() - 7), std::string(143, ' '));
  EXPECT_EQ(AuthHeaderValue().substr(0, 6), "Basic ");
  EXPECT_EQ(AuthHeaderValue().size(), site::kAuthSize);
  EXPECT_EQ(CurrentSiteSettings().configKey, ConfigKey());
}

}  // namespace
}  // namespace tandrel

#include "core/TextCodec.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(Cp936, RoundTripsSimplifiedChinese) {
  const std::string text = "微软雅黑 Corvessa 最新开机信息";
  const std::string bytes = Utf8ToCp936(text);
  EXPECT_EQ(bytes.substr(0, 4), "\xCE\xA2\xC8\xED");  // 微软
  EXPECT_EQ(Cp936ToUtf8(bytes), text);
}

TEST(Cp936, UndecodableBytesReadAsReplacementCharacters) {
  EXPECT_EQ(Cp936ToUtf8("a\xFF"
                        "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Cp936ToUtf8("ab\xCE"), "ab\xEF\xBF\xBD");  // cut off after a lead byte
}

TEST(Cp936, RefusesCharactersItCannotHold) {
  EXPECT_THROW(Utf8ToCp936("emoji \xF0\x9F\x98\x80"), std::runtime_error);
  EXPECT_THROW(Utf8ToCp936("한국어"), std::runtime_error);
}

TEST(Utf8, InvalidSequencesBecomeReplacementCharacters) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain", "plain"},
      {"\xE4\xB8\xAD", "\xE4\xB8\xAD"},          // 中
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // outside the BMP
      {"a\x80"
       "b",
       "a\xEF\xBF\xBD"
       "b"},                                                                     // lone continuation byte
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong "/"
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // UTF-8 surrogate
      {"\xE4\xB8", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // cut off at the end
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // above U+10FFFF
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(SanitizeUtf8(in), out);
}

// Long text is checked in runs of ASCII and runs of other characters: a fault is
// found wherever it falls, and the valid text around it is kept.
TEST(Utf8, FindsTheFirstFaultAnywhereInLongText) {
  const std::string text = "abcdefghij中文klmnopqrs\xC3\xA9\xF0\x9F\x98\x80tuvwxyz0123456789中文字";
  ASSERT_EQ(ValidUtf8Prefix(text), text.size());
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"\x80", "\xEF\xBF\xBD"},
      {"\xE4\xB8", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (std::size_t at = 0; at <= text.size(); ++at) {
    if (at < text.size() && (text[at] & 0xC0) == 0x80) continue;  // within a character
    for (const auto& [fault, replaced] : faults) {
      const std::string broken = text.substr(0, at) + fault + text.substr(at);
      EXPECT_EQ(ValidUtf8Prefix(broken), at) << at;
      EXPECT_EQ(SanitizeUtf8(broken), text.substr(0, at) + replaced + text.substr(at)) << at;
    }
  }
}

TEST(Utf16, CountsAndRestoresSurrogatePairs) {
  const std::string text = "a中\xF0\x9F\x98\x80";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide.size(), 4u);
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TrimControl, RemovesCodes0To32AndNothingElse) {
  EXPECT_EQ(TrimControl(std::string("\0\t\r\n  x y \x1F", 10)), "x y");
  EXPECT_EQ(TrimControl("      "), "");
  EXPECT_EQ(TrimControl("\xE3\x80\x80x\xE3\x80\x80"), "\xE3\x80\x80x\xE3\x80\x80");  // full-width spaces stay
}

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("ServerList", "sERVERlIST"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("ServerList", "ServerLis"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));                // 0x40 and 0x60 differ by 32 but are no letters
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));  // é and É stay apart
}

}  // namespace
}  // namespace tandrel

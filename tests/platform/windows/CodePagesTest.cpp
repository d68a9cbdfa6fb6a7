// Character sets through the system's code pages.
#include "platform/Charsets.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

namespace tandrel::platform {
namespace {

const std::string kChinese = "中文测试";                             // UTF-8
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4";  // the same in code page 936

TEST(CodePages, Cp936RoundTripsByEveryName) {
  for (const char* name : {"CP936", "gbk", "GB2312", "x-gbk"}) {
    EXPECT_EQ(CharsetToUtf8(kChineseGbk, name), kChinese) << name;
    EXPECT_EQ(Utf8ToCharset(kChinese, name), kChineseGbk) << name;
  }
  EXPECT_EQ(Utf8ToCharset("😀", "CP936"), std::nullopt);  // no form in GBK
}

// GB18030 has a form for every character; a system without the code page (Wine)
// refuses the name like any unknown one.
TEST(CodePages, Gb18030WritesEveryCharacterWhereTheSystemHasIt) {
  if (!IsValidCodePage(54936)) {
    EXPECT_THROW(Utf8ToCharset("😀", "GB18030"), std::runtime_error);
    return;
  }
  EXPECT_EQ(Utf8ToCharset("😀", "GB18030"), "\x94\x39\xFC\x36");
  EXPECT_EQ(CharsetToUtf8("\x94\x39\xFC\x36\xD6\xD0", "gb18030"), "😀中");
}

// Code page 936 gives the user-defined area (AAA1 onwards) private-use characters
// and takes 0x80 for the euro sign; glibc's CP936 has the euro sign but refuses
// the user-defined area, so these bytes read differently on Linux.
TEST(CodePages, Cp936FollowsWindowsWhereGlibcDiffers) {
  EXPECT_EQ(CharsetToUtf8("\xAA\xA1", "CP936"), "\xEE\x80\x80");  // U+E000
  EXPECT_EQ(CharsetToUtf8("\x80", "CP936"), "€");
}

TEST(CodePages, BytesOfNoCharacterBecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(CharsetToUtf8("a\xD6", "CP936"), "a" + replacement);           // a lead byte cut off
  EXPECT_EQ(CharsetToUtf8("a\xC3(b", "utf-8"), "a" + replacement + "(b");  // a broken sequence
  EXPECT_EQ(CharsetToUtf8("a\xE9", "us-ascii"), "a" + replacement);
  EXPECT_EQ(CharsetToUtf8(std::string("\x3D\xD8\x00\xDE", 4), "UTF-16LE"), "😀");
  EXPECT_EQ(CharsetToUtf8(std::string("\x00\x41\xD8\x3D\x00", 5), "utf-16be"), "A" + replacement + replacement);
  EXPECT_EQ(Utf8ToCharset("A😀", "UTF-16BE"), std::string("\x00\x41\xD8\x3D\xDE\x00", 6));
  EXPECT_EQ(CharsetToUtf8("caf\xE9", "ISO-8859-1"), "café");
  EXPECT_EQ(Utf8ToCharset("中", "latin1"), std::nullopt);
}

TEST(CodePages, AnUnknownNameIsRefused) {
  try {
    CharsetToUtf8("x", "x-no-such-set");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Unsupported character set 'x-no-such-set'");
  }
  EXPECT_THROW(Utf8ToCharset("x", ""), std::runtime_error);
}

}  // namespace
}  // namespace tandrel::platform

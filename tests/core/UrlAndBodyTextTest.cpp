#include "core/http/BodyText.h"
#include "core/http/Url.h"

#include <gtest/gtest.h>

namespace tandrel::http {
namespace {

TEST(EncodeUrl, EncodesOnlyWhatMayNotStandInAUrl) {
  EXPECT_EQ(EncodeUrl("http://h/getvalue/a b.exe"), "http://h/getvalue/a%20b.exe");
  EXPECT_EQ(EncodeUrl("http://h/getvalue/游戏.exe"), "http://h/getvalue/%E6%B8%B8%E6%88%8F.exe");
  EXPECT_EQ(EncodeUrl("http://h/getcode/?hash=0a%2F&x=[1]"), "http://h/getcode/?hash=0a%2F&x=[1]");
  EXPECT_EQ(EncodeUrl("http://h/\"<>\\^`{|}"), "http://h/%22%3C%3E%5C%5E%60%7B%7C%7D");
}

TEST(IsHttpUrl, AcceptsAbsoluteWebAddressesOnly) {
  for (const char* yes : {"http://a", "HTTPS://a.example/x", "http://127.0.0.1:8080/"})
    EXPECT_TRUE(IsHttpUrl(yes)) << yes;
  for (const char* no :
       {"", "http://", "http:///etc", "file:///etc/passwd", "www.example.com", "ftp://a", "javascript:x"}) {
    EXPECT_FALSE(IsHttpUrl(no)) << no;
  }
}

Response WithBody(const std::string& contentType, const std::string& body) {
  return Response{200, contentType, Bytes(body.begin(), body.end())};
}

TEST(BodyText, DecodesByTheCharsetOfContentType) {
  EXPECT_EQ(CharsetOf("text/plain; charset=\"GBK\""), "gbk");
  EXPECT_EQ(CharsetOf("text/plain;format=flowed; Charset=UTF-8"), "utf-8");
  EXPECT_EQ(CharsetOf("text/plain"), "");

  EXPECT_EQ(BodyText(WithBody("", "ok")), "ok");
  EXPECT_EQ(BodyText(WithBody("text/plain; charset=UTF-8", "ok\xFF")), "ok\xEF\xBF\xBD");
  EXPECT_EQ(BodyText(WithBody("text/plain; charset=gbk", "\xCE\xA2")), "微");
  EXPECT_EQ(BodyText(WithBody("text/plain; charset=utf-16le", std::string("o\0k\0", 4))), "ok");
  EXPECT_THROW(BodyText(WithBody("text/plain; charset=no-such-charset", "ok")), Error);
}

}  // namespace
}  // namespace tandrel::http

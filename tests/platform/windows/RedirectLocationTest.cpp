// Where a redirect leads, resolved as RFC 3986's examples say (section 5.4).
#include "platform/windows/WinHttpLocation.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tandrel::platform {
namespace {

TEST(RedirectLocation, ResolvesAgainstTheAddressThatAnswered) {
  const std::wstring base = L"http://a/b/c/d;p?q";
  const std::vector<std::pair<std::wstring, std::wstring>> cases = {
      {L"https://other.example/x", L"https://other.example/x"},
      {L"//g/h", L"http://g/h"},
      {L"/g", L"http://a/g"},
      {L"g", L"http://a/b/c/g"},
      {L"./g", L"http://a/b/c/g"},
      {L"g/", L"http://a/b/c/g/"},
      {L"?y", L"http://a/b/c/d;p?y"},
      {L"g?y", L"http://a/b/c/g?y"},
      {L"g#s", L"http://a/b/c/g"},  // no fragment goes to the server
      {L"..", L"http://a/b/"},
      {L"../g", L"http://a/b/g"},
      {L"../..", L"http://a/"},
      {L"../../../g", L"http://a/g"},
      {L"/./g", L"http://a/g"},
      {L"g/../h", L"http://a/b/c/h"},
  };
  for (const auto& [location, expected] : cases) {
    EXPECT_EQ(ResolveLocation(base, location), expected) << std::string(location.begin(), location.end());
  }
  EXPECT_EQ(ResolveLocation(L"http://127.0.0.1:8080/redirect/3", L"/redirect/2"), L"http://127.0.0.1:8080/redirect/2");
}

}  // namespace
}  // namespace tandrel::platform

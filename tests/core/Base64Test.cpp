// The system's Base64, as the site settings' Authorization value uses it: the
// same answers on every system.
#include "platform/Crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel::platform {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(SystemBase64, EncodesWithPaddingOnOneLine) {
  EXPECT_EQ(Base64Encode({}), "");
  EXPECT_EQ(Base64Encode(Bytes("f")), "Zg==");
  EXPECT_EQ(Base64Encode(Bytes("fooba")), "Zm9vYmE=");
  EXPECT_EQ(Base64Encode(std::vector<std::uint8_t>(120, 0xFF)), std::string(160, '/'));  // past 76: no line break
}

TEST(SystemBase64, DecodesOnlyWholeGroupsOfFour) {
  EXPECT_EQ(Base64Decode("Zm9vYmE="), Bytes("fooba"));
  EXPECT_EQ(Base64Decode("Zm9vYg=="), Bytes("foob"));
  EXPECT_EQ(Base64Decode(" Zm9v\r\n"), Bytes("foo"));  // blanks at the ends
  EXPECT_EQ(Base64Decode(""), Bytes(""));
  for (const char* bad : {"Zm9vYg", "Zm9vY", "Zm 9v", "Zm9v!A==", "Zg=a", "Z===", "=m9v"}) {
    EXPECT_EQ(Base64Decode(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace tandrel::platform

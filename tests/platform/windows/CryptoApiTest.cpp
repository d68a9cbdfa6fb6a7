// The block cipher, the digest and Base64 through the system's libraries, against
// published vectors. The modes built on the blocks are tested with the core.
#include "platform/Crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel::platform {
namespace {

std::vector<std::uint8_t> Hex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(SystemAes128, EncryptsThePublishedEcbVectorsAndDecryptsTheCbcOnes) {
  Aes128Key key{};
  const auto keyBytes = Hex("2b7e151628aed2a6abf7158809cf4f3c");  // SP 800-38A, F.1.1
  std::copy(keyBytes.begin(), keyBytes.end(), key.begin());
  const auto plain =
      Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
          "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
  const auto cipher =
      Hex("3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
          "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4");
  const auto aes = MakeAes128(key);
  std::vector<std::uint8_t> out(plain.size());
  aes->EncryptBlocks(plain, out.data());
  EXPECT_EQ(out, cipher);

  // SP 800-38A, F.2.2: the whole message in place, then its second half alone,
  // chained from the block before it.
  Aes128Key iv{};
  const auto ivBytes = Hex("000102030405060708090a0b0c0d0e0f");
  std::copy(ivBytes.begin(), ivBytes.end(), iv.begin());
  const auto cbc =
      Hex("7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
          "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
  out = cbc;
  aes->DecryptCbc(out, iv);
  EXPECT_EQ(out, plain);
  std::copy(cbc.begin() + 16, cbc.begin() + 32, iv.begin());
  out.assign(cbc.begin() + 32, cbc.end());
  aes->DecryptCbc(out, iv);
  EXPECT_EQ(out, std::vector<std::uint8_t>(plain.begin() + 32, plain.end()));

  // FIPS-197, C.1, through a second key: blocks one at a time.
  const auto fipsKey = Hex("000102030405060708090a0b0c0d0e0f");
  std::copy(fipsKey.begin(), fipsKey.end(), key.begin());
  const auto fips = MakeAes128(key);
  std::vector<std::uint8_t> block = Hex("00112233445566778899aabbccddeeff");
  fips->EncryptBlocks(block, block.data());
  EXPECT_EQ(block, Hex("69c4e0d86a7b0430d8cdb78070b4c55a"));
}

TEST(SystemMd5, GivesTheRfc1321Digests) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : vectors) {
    const auto md5 = MakeMd5();
    // In pieces of uneven size: the digest must not depend on them.
    const auto bytes = Bytes(text);
    for (std::size_t at = 0; at < bytes.size(); at += 7) {
      md5->Update(std::span(bytes).subspan(at, std::min<std::size_t>(7, bytes.size() - at)));
    }
    const Md5Digest result = md5->Finish();
    EXPECT_EQ(std::vector<std::uint8_t>(result.begin(), result.end()), Hex(digest)) << text;
  }
}

}  // namespace
}  // namespace tandrel::platform

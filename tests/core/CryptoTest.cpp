#include "core/Hex.h"
#include "core/crypto.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "support/Commands.h"
#endif

namespace tandrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHexOrDie(std::string_view hex) { return FromHex(hex).value(); }
AesKey Key(std::string_view hex) {
  AesKey key;
  const Bytes bytes = FromHexOrDie(hex);
  std::copy(bytes.begin(), bytes.end(), key.begin());
  return key;
}

// NIST SP 800-38A, appendix F: AES-128 key, CBC IV and the four plaintext blocks.
const AesKey kNistKey = Key("2b7e151628aed2a6abf7158809cf4f3c");
const AesKey kNistIv = Key("000102030405060708090a0b0c0d0e0f");
const std::string kNistPlain =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
const std::string kNistCbc =  // F.2.1
    "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
    "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7";
const std::string kNistCfb8Plain = "6bc1bee22e409f96e93d7e117393172aae2d";  // F.3.7
const std::string kNistCfb8 = "3b79424c9c0dd436bace9e0ed4586a4f32b9";

TEST(DecryptServerList, WholeBlocksAreCbc) {
  EXPECT_EQ(ToHex(DecryptServerList(FromHexOrDie(kNistCbc), kNistKey, kNistIv)), kNistPlain);
  EXPECT_EQ(ToHex(EncryptServerList(FromHexOrDie(kNistPlain), kNistKey, kNistIv)).substr(0, 128), kNistCbc);
}

TEST(DecryptServerList, BodiesShorterThanABlockAreCfb8FromTheIv) {
  EXPECT_TRUE(DecryptServerList({}, kNistKey, kNistIv).empty());
  for (std::size_t r = 1; r < 16; ++r) {
    const Bytes body = FromHexOrDie(kNistCfb8.substr(0, 2 * r));
    EXPECT_EQ(ToHex(DecryptServerList(body, kNistKey, kNistIv)), kNistCfb8Plain.substr(0, 2 * r)) << r;
  }
}

// The openssl program is at hand on Linux machines only; the NIST vectors above
// hold on every system.
#ifndef _WIN32
std::string HexToText(std::string_view hex) {
  const Bytes bytes = FromHexOrDie(hex);
  return std::string(bytes.begin(), bytes.end());
}

// openssl enc run in the test: the tail of a 16k + r body is CFB8 whose register
// starts at the last whole ciphertext block.
std::string OpenSsl(const std::string& mode, bool pad, const AesKey& key, const std::string& ivHex,
                    const std::string& plain, test::TempDir& dir) {
  test::WriteFile(dir / "in", plain);
  const auto result = test::RunCommand("openssl enc -" + mode + " -K " + ToHex(key) + " -iv " + ivHex +
                                       (pad ? "" : " -nopad") + " -in " + test::ShellQuote((dir / "in").string()) +
                                       " -out " + test::ShellQuote((dir / "out").string()));
  EXPECT_EQ(result.status, 0);
  return test::ReadFile(dir / "out");
}

TEST(DecryptServerList, TrailingBytesAreCfb8FromTheLastWholeBlock) {
  test::TempDir dir;
  const std::string wholeCipher = HexToText(kNistCbc);
  for (const std::size_t r : {1u, 5u, 15u}) {
    const std::string tailPlain = std::string("trailing bytes!!").substr(0, r);
    const std::string lastBlockHex = kNistCbc.substr(kNistCbc.size() - 32);
    const std::string tailCipher = OpenSsl("aes-128-cfb8", false, kNistKey, lastBlockHex, tailPlain, dir);
    const std::string body = wholeCipher + tailCipher;
    const Bytes plain = DecryptServerList(Bytes(body.begin(), body.end()), kNistKey, kNistIv);
    ASSERT_EQ(plain.size(), 64 + r);
    EXPECT_EQ(ToHex(std::span(plain).first(64)), kNistPlain);
    EXPECT_EQ(std::string(plain.begin() + 64, plain.end()), tailPlain);
  }
}

// Bodies of many blocks go through the cipher in one pass: the chain runs across
// the whole body and a tail starts from its last whole ciphertext block.
TEST(DecryptServerList, LongBodiesChainAcrossAllBlocksIntoTheTail) {
  test::TempDir dir;
  const std::pair<std::size_t, std::size_t> cases[] = {{16, 0}, {16, 15}, {65536, 0}, {65552, 1}, {320000, 15}};
  for (const auto& [whole, tail] : cases) {
    std::string plain(whole + tail, '\0');
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>(i * 7 % 251);
    const std::string blocks = plain.substr(0, whole);
    std::string body = OpenSsl("aes-128-cbc", false, kNistKey, ToHex(kNistIv), blocks, dir);
    const std::string lastBlockHex =
        ToHex(std::span(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()).last(16));
    body += OpenSsl("aes-128-cfb8", false, kNistKey, lastBlockHex, plain.substr(whole), dir);
    const Bytes ours = DecryptServerList(Bytes(body.begin(), body.end()), kNistKey, kNistIv);
    EXPECT_EQ(std::string(ours.begin(), ours.end()), plain) << whole << " + " << tail;
  }
}

TEST(EncryptServerList, IsWhatOpensslEncWritesAndDecryptsToDocumentAndPadding) {
  test::TempDir dir;
  for (const std::size_t size : {0u, 1u, 15u, 16u, 17u, 1000u}) {
    const std::string plain(size, 'd');
    const std::string theirs = OpenSsl("aes-128-cbc", true, kNistKey, ToHex(kNistIv), plain, dir);
    const Bytes ours = EncryptServerList(Bytes(plain.begin(), plain.end()), kNistKey, kNistIv);
    EXPECT_EQ(std::string(ours.begin(), ours.end()), theirs) << size;
    const Bytes back = DecryptServerList(ours, kNistKey, kNistIv);
    const std::size_t padding = 16 - size % 16;
    EXPECT_EQ(std::string(back.begin(), back.end()), plain + std::string(padding, static_cast<char>(padding)));
  }
}

#endif

}  // namespace
}  // namespace tandrel

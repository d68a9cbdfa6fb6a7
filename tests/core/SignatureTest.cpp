// The system's ECDSA P-256 check and SHA-256, as the box verifies a release
// record with them: a signature OpenSSL made (the operator's tool signs with it)
// verifies, and nothing with one bit changed does.
#include "core/Hex.h"
#include "platform/Crypto.h"

#include <gtest/gtest.h>

#include <string>

namespace tandrel::platform {
namespace {

template <typename Array>
Array Bytes(const std::string& hex) {
  const auto bytes = FromHex(hex);
  Array out{};
  EXPECT_TRUE(bytes && bytes->size() == out.size()) << hex;
  if (bytes) std::copy(bytes->begin(), bytes->end(), out.begin());
  return out;
}

// Made with: openssl ecparam -name prime256v1 -genkey; openssl dgst -sha256 -sign.
const P256PublicKey kKey = Bytes<P256PublicKey>(
    "1a76e6f1be88e3aed4ee7ad578298023e719c4dbcc8c53ac31614a9911ba70c5"
    "adfedb73b9361e213697ad7ed85be8aea490fe834c4bc474e477c2bba3702220");
const P256Signature kSignature = Bytes<P256Signature>(
    "f75fbf5e1ba91c068fb19c3150da9b37463993122da271d32db77517bbb556c6"
    "42854b4fca638b3c77bc59274ba5a537cdc440d754d4e5a1e9d191534c5c2b3c");
const std::string kMessage = "tandrel release 1\n";

std::span<const std::uint8_t> View(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Signature, VerifiesWhatOpenSslSignedAndNothingWithABitChanged) {
  EXPECT_TRUE(IsP256Point(kKey));
  EXPECT_TRUE(VerifyP256(kKey, View(kMessage), kSignature));
  for (std::size_t bit : {0u, 7u, 100u, 511u}) {
    P256Signature signature = kSignature;
    signature[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    EXPECT_FALSE(VerifyP256(kKey, View(kMessage), signature)) << "signature bit " << bit;
  }
  std::string message = kMessage;
  message[3] ^= 1;
  EXPECT_FALSE(VerifyP256(kKey, View(message), kSignature));
  // A key with one bit changed is no point of the curve, or another key.
  P256PublicKey key = kKey;
  key[63] ^= 1;
  EXPECT_FALSE(VerifyP256(key, View(kMessage), kSignature));
#ifndef _WIN32
  // Wine's BCrypt imports any point and refuses it only when verifying.
  EXPECT_FALSE(IsP256Point(key));
  EXPECT_FALSE(IsP256Point(P256PublicKey{}));
#endif
}

TEST(Signature, Sha256OfKnownTexts) {
  const struct {
    std::string text, digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
  };
  for (const auto& c : cases) {
    const auto sha = MakeSha256();
    sha->Update(View(c.text));
    EXPECT_EQ(ToHex(sha->Finish()), c.digest) << c.text;
  }
}

}  // namespace
}  // namespace tandrel::platform

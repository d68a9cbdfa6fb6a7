// What a signed release adds to the Windows box's start under Wine: one ECDSA
// P-256 check (BCrypt) of a record-sized text and the demo list's SHA-256,
// printed in milliseconds each.
#include "core/Hex.h"
#include "platform/Crypto.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tandrel;

template <typename Array>
Array Bytes(const char* hex) {
  const auto bytes = FromHex(hex);
  Array out{};
  std::copy(bytes->begin(), bytes->end(), out.begin());
  return out;
}

template <typename Work>
double Milliseconds(int runs, Work work) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / runs;
}

}  // namespace

int main() {
  // The signature test's key and OpenSSL's signature of its text.
  const auto key = Bytes<platform::P256PublicKey>(
      "1a76e6f1be88e3aed4ee7ad578298023e719c4dbcc8c53ac31614a9911ba70c5"
      "adfedb73b9361e213697ad7ed85be8aea490fe834c4bc474e477c2bba3702220");
  const auto signature = Bytes<platform::P256Signature>(
      "f75fbf5e1ba91c068fb19c3150da9b37463993122da271d32db77517bbb556c6"
      "42854b4fca638b3c77bc59274ba5a537cdc440d754d4e5a1e9d191534c5c2b3c");
  const std::string message = "tandrel release 1\n";
  const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
  if (!platform::VerifyP256(key, text, signature)) return 1;
  const double verify = Milliseconds(200, [&] { platform::VerifyP256(key, text, signature); });
  const std::vector<std::uint8_t> list(7921, 'x');
  const double sha = Milliseconds(200, [&] {
    const auto digest = platform::MakeSha256();
    digest->Update(list);
    digest->Finish();
  });
  std::printf("record check %.3f ms + demo list SHA-256 %.3f ms = %.3f ms (goal <= 5 ms)\n", verify, sha, verify + sha);
  return 0;
}

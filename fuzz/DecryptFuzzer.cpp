// Arbitrary bytes as an encrypted list body under a fixed key: decryption keeps the
// length and never fails, and its result goes to the reader. The same bytes as a
// plain list, encrypted the operator's way, decrypt back to themselves followed by
// their padding, so the JSON seeds reach the reader through the cipher too.
#include "core/ServerListLoader.h"
#include "core/crypto.h"
#include "core/uConfig.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

constexpr tandrel::AesKey kKey = {0x54, 0x61, 0x6e, 0x64, 0x72, 0x65, 0x6c, 0x20,
                                  0x66, 0x75, 0x7a, 0x7a, 0x20, 0x6b, 0x65, 0x79};
constexpr tandrel::AesKey kIv = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};

[[noreturn]] void Fail(const char* what) {
  std::fputs(what, stderr);
  std::abort();
}

void Read(std::span<const std::uint8_t> decrypted) {
  try {
    (void)tandrel::ReadDocument(decrypted);
  } catch (const tandrel::DocumentError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);

  const std::vector<std::uint8_t> decrypted =
      tandrel::DecryptServerList(std::vector<std::uint8_t>(input.begin(), input.end()), kKey, kIv);
  if (decrypted.size() != size) Fail("decryption changed the length\n");
  Read(decrypted);

  const std::vector<std::uint8_t> roundTrip =
      tandrel::DecryptServerList(tandrel::EncryptServerList(input, kKey, kIv), kKey, kIv);
  if (roundTrip.size() < size || !std::equal(input.begin(), input.end(), roundTrip.begin())) {
    Fail("an encrypted list did not decrypt to itself\n");
  }
  Read(roundTrip);
  return 0;
}

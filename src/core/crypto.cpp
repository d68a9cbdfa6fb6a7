#include "crypto.h"

#include "FileIo.h"
#include "Hex.h"
#include "Paths.h"
#include "platform/Crypto.h"

#include <algorithm>
#include <memory>

namespace tandrel {
namespace {

constexpr std::size_t kBlock = platform::kAesBlockSize;

void XorBlock(std::uint8_t* target, const std::uint8_t* with) {
  for (std::size_t i = 0; i < kBlock; ++i) target[i] ^= with[i];
}

// 8-bit CFB: each byte is the ciphertext byte under the first byte of the
// encrypted register, which then takes in that ciphertext byte.
void DecryptCfb8(platform::Aes128& aes, std::span<std::uint8_t> bytes, AesKey& shift) {
  AesKey stream;
  for (std::uint8_t& byte : bytes) {
    aes.EncryptBlocks(shift, stream.data());
    const std::uint8_t cipher = byte;
    byte = static_cast<std::uint8_t>(byte ^ stream[0]);
    std::copy(shift.begin() + 1, shift.end(), shift.begin());
    shift.back() = cipher;
  }
}

}  // namespace

std::string GetFileMd5(const std::string& path) {
  const std::unique_ptr<platform::Md5> md5 = platform::MakeMd5();
  ReadFileInPieces(PathFromUtf8(path), kDigestBufferSize, [&](const std::uint8_t* data, std::size_t size) {
    md5->Update({data, size});
  });
  return ToHex(md5->Finish());
}

std::string GetBytesMd5(std::span<const std::uint8_t> bytes) {
  const std::unique_ptr<platform::Md5> md5 = platform::MakeMd5();
  md5->Update(bytes);
  return ToHex(md5->Finish());
}

std::vector<std::uint8_t> DecryptServerList(std::vector<std::uint8_t> body, const AesKey& key, const AesKey& iv) {
  const std::size_t whole = body.size() / kBlock * kBlock;
  const std::unique_ptr<platform::Aes128> aes = platform::MakeAes128(key);
  // The tail's register: the last whole ciphertext block (the IV when there is
  // none), taken before the blocks are decrypted over it.
  AesKey shift = iv;
  if (whole > 0) std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(whole - kBlock), kBlock, shift.begin());
  const std::span<std::uint8_t> all(body);
  aes->DecryptCbc(all.first(whole), iv);
  DecryptCfb8(*aes, all.subspan(whole), shift);
  return body;
}

std::vector<std::uint8_t> EncryptServerList(std::span<const std::uint8_t> plain, const AesKey& key, const AesKey& iv) {
  // PKCS#7: 1 to 16 bytes, each holding their count.
  const std::size_t pad = kBlock - plain.size() % kBlock;
  std::vector<std::uint8_t> body(plain.begin(), plain.end());
  body.insert(body.end(), pad, static_cast<std::uint8_t>(pad));
  const std::unique_ptr<platform::Aes128> aes = platform::MakeAes128(key);
  const std::uint8_t* chain = iv.data();
  for (std::size_t at = 0; at < body.size(); at += kBlock) {
    std::uint8_t* block = body.data() + at;
    XorBlock(block, chain);
    aes->EncryptBlocks({block, kBlock}, block);
    chain = block;
  }
  return body;
}

}  // namespace tandrel

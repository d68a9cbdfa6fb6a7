// The cryptographic primitives the box builds on; the list's own mode and the
// reading of files are the core's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::platform {

inline constexpr std::size_t kAesBlockSize = 16;
using Aes128Key = std::array<std::uint8_t, 16>;

// The AES-128 block cipher under one key.
class Aes128 {
 public:
  virtual ~Aes128() = default;
  // Block by block (as in ECB): input and output are whole blocks of equal length
  // and may be the same memory.
  virtual void EncryptBlocks(std::span<const std::uint8_t> input, std::uint8_t* output) = 0;
  // CBC decryption of whole blocks in place, in one pass of the system's cipher,
  // with the chain starting at iv.
  virtual void DecryptCbc(std::span<std::uint8_t> blocks, const Aes128Key& iv) = 0;
};

// Throws std::runtime_error when the cipher is not available.
std::unique_ptr<Aes128> MakeAes128(const Aes128Key& key);

using Md5Digest = std::array<std::uint8_t, 16>;

// MD5 of a stream of bytes handed over in pieces.
class Md5 {
 public:
  virtual ~Md5() = default;
  virtual void Update(std::span<const std::uint8_t> bytes) = 0;
  virtual Md5Digest Finish() = 0;
};

// Throws std::runtime_error when the digest is not available.
std::unique_ptr<Md5> MakeMd5();

// Base64 with padding, no line breaks.
std::string Base64Encode(std::span<const std::uint8_t> bytes);
// Nothing when the text is no Base64 (its length, blanks aside, must be a multiple of 4).
std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text);

}  // namespace tandrel::platform

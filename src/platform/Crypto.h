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

// A digest of a stream of bytes handed over in pieces.
template <std::size_t Size>
class HashStream {
 public:
  virtual ~HashStream() = default;
  virtual void Update(std::span<const std::uint8_t> bytes) = 0;
  virtual std::array<std::uint8_t, Size> Finish() = 0;
};

using Md5Digest = std::array<std::uint8_t, 16>;
using Md5 = HashStream<16>;
using Sha256Digest = std::array<std::uint8_t, 32>;
using Sha256 = HashStream<32>;

// Each throws std::runtime_error when the digest is not available.
std::unique_ptr<Md5> MakeMd5();
std::unique_ptr<Sha256> MakeSha256();

// An ECDSA P-256 public key as the point's X and Y, 32 big-endian bytes each, and
// a signature as r and s the same way: the forms both systems' libraries take.
using P256PublicKey = std::array<std::uint8_t, 64>;
using P256Signature = std::array<std::uint8_t, 64>;

// Whether the key is a point of the curve.
bool IsP256Point(const P256PublicKey& key);

// Whether signature is the key's ECDSA signature of message's SHA-256 digest.
// False for a key that is no point of the curve. Throws std::runtime_error when
// the algorithm is not available.
bool VerifyP256(const P256PublicKey& key, std::span<const std::uint8_t> message, const P256Signature& signature);

// Base64 with padding, no line breaks.
std::string Base64Encode(std::span<const std::uint8_t> bytes);
// Nothing when the text is no Base64 (its length, blanks aside, must be a multiple of 4).
std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text);

}  // namespace tandrel::platform

#include "../Crypto.h"

#include <algorithm>
#include <openssl/evp.h>
#include <stdexcept>

namespace tandrel::platform {
namespace {

struct CipherCtxFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree>;

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

CipherCtx Context(const EVP_CIPHER* cipher, const Aes128Key& key, bool encrypt) {
  CipherCtx ctx(EVP_CIPHER_CTX_new());
  if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1) {
    throw std::runtime_error("AES is not available");
  }
  return ctx;
}

// Both uses keyed once: the list is decrypted in one pass of many blocks.
class OpensslAes128 final : public Aes128 {
 public:
  explicit OpensslAes128(const Aes128Key& key)
      : encrypt_(Context(EVP_aes_128_ecb(), key, true)), decryptCbc_(Context(EVP_aes_128_cbc(), key, false)) {}

  void EncryptBlocks(std::span<const std::uint8_t> input, std::uint8_t* output) override {
    // Without padding, ECB keeps no state between calls.
    Run(encrypt_.get(), input, output);
  }
  void DecryptCbc(std::span<std::uint8_t> blocks, const Aes128Key& iv) override {
    // The key stays; only the chain starts afresh. Without padding, every whole
    // block comes out at once and the context carries the chain from piece to piece.
    if (EVP_CipherInit_ex(decryptCbc_.get(), nullptr, nullptr, nullptr, iv.data(), 0) != 1) {
      throw std::runtime_error("AES is not available");
    }
    Run(decryptCbc_.get(), blocks, blocks.data());
  }

 private:
  // In place is safe: OpenSSL allows the output to be the input itself. Pieces
  // stay below the int that OpenSSL counts in.
  static void Run(EVP_CIPHER_CTX* ctx, std::span<const std::uint8_t> input, std::uint8_t* output) {
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    for (std::size_t at = 0; at < input.size(); at += kPiece) {
      const std::span<const std::uint8_t> piece = input.subspan(at, std::min(kPiece, input.size() - at));
      int n = 0;
      if (EVP_CipherUpdate(ctx, output + at, &n, piece.data(), static_cast<int>(piece.size())) != 1) {
        throw std::runtime_error("AES is not available");
      }
    }
  }

  CipherCtx encrypt_;
  CipherCtx decryptCbc_;
};

class OpensslMd5 final : public Md5 {
 public:
  OpensslMd5() : ctx_(EVP_MD_CTX_new()) {
    if (!ctx_ || EVP_DigestInit_ex(ctx_.get(), EVP_md5(), nullptr) != 1) {
      throw std::runtime_error("MD5 is not available");
    }
  }
  void Update(std::span<const std::uint8_t> bytes) override {
    EVP_DigestUpdate(ctx_.get(), bytes.data(), bytes.size());
  }
  Md5Digest Finish() override {
    Md5Digest digest{};
    unsigned length = 0;
    EVP_DigestFinal_ex(ctx_.get(), digest.data(), &length);
    return digest;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx_;
};

}  // namespace

std::unique_ptr<Aes128> MakeAes128(const Aes128Key& key) { return std::make_unique<OpensslAes128>(key); }

std::unique_ptr<Md5> MakeMd5() { return std::make_unique<OpensslMd5>(); }

std::string Base64Encode(std::span<const std::uint8_t> bytes) {
  std::string encoded(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n =
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()), bytes.data(), static_cast<int>(bytes.size()));
  encoded.resize(static_cast<std::size_t>(n));
  return encoded;
}

std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  // Padding only at the end, and at most two: EVP_DecodeBlock would read a "="
  // anywhere as zero bits.
  const std::size_t padding = text.size() - std::min(text.size(), text.find_last_not_of('=') + 1);
  if (text.size() % 4 != 0 || padding > 2 ||
      text.substr(0, text.size() - padding).find('=') != std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(text.size());
  const int n =
      EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (n < 0) return std::nullopt;
  // EVP_DecodeBlock turns the padding into trailing zeros.
  bytes.resize(static_cast<std::size_t>(n) - padding);
  return bytes;
}

}  // namespace tandrel::platform

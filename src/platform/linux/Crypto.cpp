#include "../Crypto.h"

#include <algorithm>
#include <openssl/core_names.h>
#include <openssl/ecdsa.h>
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

template <std::size_t Size>
class OpensslHash final : public HashStream<Size> {
 public:
  OpensslHash(const EVP_MD* md, const char* failure) : ctx_(EVP_MD_CTX_new()) {
    if (!ctx_ || EVP_DigestInit_ex(ctx_.get(), md, nullptr) != 1) throw std::runtime_error(failure);
  }
  void Update(std::span<const std::uint8_t> bytes) override {
    EVP_DigestUpdate(ctx_.get(), bytes.data(), bytes.size());
  }
  std::array<std::uint8_t, Size> Finish() override {
    std::array<std::uint8_t, Size> digest{};
    unsigned length = 0;
    EVP_DigestFinal_ex(ctx_.get(), digest.data(), &length);
    return digest;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx_;
};

template <typename T, void (*Free)(T*)>
struct Freer {
  void operator()(T* p) const { Free(p); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, Freer<EVP_PKEY_CTX, EVP_PKEY_CTX_free>>;
using SigPtr = std::unique_ptr<ECDSA_SIG, Freer<ECDSA_SIG, ECDSA_SIG_free>>;

constexpr const char* kNoEcdsa = "ECDSA P-256 is not available";

// The key from its uncompressed point (0x04, X, Y); nothing when it is no point
// of the curve.
PkeyPtr P256Key(const P256PublicKey& key) {
  std::array<unsigned char, 65> point{0x04};
  std::copy(key.begin(), key.end(), point.begin() + 1);
  char group[] = "prime256v1";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, group, 0),
                               OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, point.data(), point.size()),
                               OSSL_PARAM_construct_end()};
  PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1) throw std::runtime_error(kNoEcdsa);
  EVP_PKEY* made = nullptr;
  if (EVP_PKEY_fromdata(ctx.get(), &made, EVP_PKEY_PUBLIC_KEY, const_cast<OSSL_PARAM*>(params)) != 1) return nullptr;
  PkeyPtr pkey(made);
  // fromdata takes any bytes; a point off the curve fails the public key check.
  PkeyCtxPtr check(EVP_PKEY_CTX_new_from_pkey(nullptr, pkey.get(), nullptr));
  if (!check || EVP_PKEY_public_check(check.get()) != 1) return nullptr;
  return pkey;
}

// r and s as the DER that OpenSSL verifies.
std::vector<unsigned char> Der(const P256Signature& signature) {
  SigPtr sig(ECDSA_SIG_new());
  BIGNUM* r = BN_bin2bn(signature.data(), 32, nullptr);
  BIGNUM* s = BN_bin2bn(signature.data() + 32, 32, nullptr);
  if (!sig || !r || !s || ECDSA_SIG_set0(sig.get(), r, s) != 1) {
    BN_free(r);
    BN_free(s);
    throw std::runtime_error(kNoEcdsa);
  }
  const int size = i2d_ECDSA_SIG(sig.get(), nullptr);
  std::vector<unsigned char> der(static_cast<std::size_t>(std::max(size, 0)));
  unsigned char* out = der.data();
  if (size <= 0 || i2d_ECDSA_SIG(sig.get(), &out) != size) throw std::runtime_error(kNoEcdsa);
  return der;
}

}  // namespace

std::unique_ptr<Aes128> MakeAes128(const Aes128Key& key) { return std::make_unique<OpensslAes128>(key); }

std::unique_ptr<Md5> MakeMd5() { return std::make_unique<OpensslHash<16>>(EVP_md5(), "MD5 is not available"); }

std::unique_ptr<Sha256> MakeSha256() {
  return std::make_unique<OpensslHash<32>>(EVP_sha256(), "SHA-256 is not available");
}

bool IsP256Point(const P256PublicKey& key) { return P256Key(key) != nullptr; }

bool VerifyP256(const P256PublicKey& key, std::span<const std::uint8_t> message, const P256Signature& signature) {
  const PkeyPtr pkey = P256Key(key);
  if (!pkey) return false;
  const std::vector<unsigned char> der = Der(signature);
  const std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha256(), nullptr, pkey.get()) != 1) {
    throw std::runtime_error(kNoEcdsa);
  }
  return EVP_DigestVerify(ctx.get(), der.data(), der.size(), message.data(), message.size()) == 1;
}

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

#include "OperatorKey.h"

#include "Args.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace tandrel::admin {

struct SigningKey::Pkey {
  explicit Pkey(EVP_PKEY* owned) : key(owned) {}
  Pkey(const Pkey&) = delete;
  Pkey& operator=(const Pkey&) = delete;
  ~Pkey() { EVP_PKEY_free(key); }
  EVP_PKEY* key;
};

namespace {

platform::P256PublicKey PointOf(EVP_PKEY* key) {
  std::array<unsigned char, 65> point{};
  std::size_t size = 0;
  if (EVP_PKEY_get_octet_string_param(key, OSSL_PKEY_PARAM_PUB_KEY, point.data(), point.size(), &size) != 1 ||
      size != point.size() || point[0] != 0x04) {
    throw std::runtime_error("the key is no uncompressed P-256 point");
  }
  platform::P256PublicKey out;
  std::copy(point.begin() + 1, point.end(), out.begin());
  return out;
}

bool IsP256(EVP_PKEY* key) {
  char group[32] = {};
  std::size_t size = 0;
  return EVP_PKEY_is_a(key, "EC") &&
         EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, &size) == 1 &&
         std::string_view(group) == "prime256v1";
}

}  // namespace

std::string PublicKeyText(const platform::P256PublicKey& key) { return platform::Base64Encode(key); }

platform::P256PublicKey ParsePublicKey(const std::string& option, std::string_view text) {
  const auto bytes = platform::Base64Decode(text);
  platform::P256PublicKey key;
  if (!bytes || bytes->size() != key.size()) {
    throw UsageError(option + " must be a public key as keygen prints it (Base64 of 64 bytes)");
  }
  std::copy(bytes->begin(), bytes->end(), key.begin());
  if (!platform::IsP256Point(key)) throw UsageError(option + ": the key is no point of the P-256 curve");
  return key;
}

SigningKey::SigningKey(std::unique_ptr<Pkey> key) : key_(std::move(key)), public_(PointOf(key_->key)) {}
SigningKey::SigningKey(SigningKey&&) noexcept = default;
SigningKey::~SigningKey() = default;

SigningKey SigningKey::Generate(const std::filesystem::path& file) {
  auto key = std::make_unique<Pkey>(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
  if (!key->key) throw std::runtime_error("cannot make a P-256 key");
  // Made with its final mode, never over a file that exists.
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("cannot create " + file.string() + ": " + std::strerror(errno));
  FILE* out = ::fdopen(fd, "w");
  const bool written = out && PEM_write_PrivateKey(out, key->key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  const bool closed = out ? std::fclose(out) == 0 : ::close(fd) == 0;
  if (!written || !closed) {
    std::filesystem::remove(file);
    throw std::runtime_error("cannot write " + file.string());
  }
  return SigningKey(std::move(key));
}

SigningKey SigningKey::Load(const std::filesystem::path& file) {
  FILE* in = std::fopen(file.c_str(), "r");
  if (!in) throw std::runtime_error("cannot read " + file.string() + ": " + std::strerror(errno));
  EVP_PKEY* key = PEM_read_PrivateKey(in, nullptr, nullptr, nullptr);
  std::fclose(in);
  auto owned = std::make_unique<Pkey>(key);
  if (!key || !IsP256(key)) throw std::runtime_error(file.string() + " holds no P-256 private key");
  return SigningKey(std::move(owned));
}

platform::P256Signature SigningKey::Sign(std::span<const std::uint8_t> message) const {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  std::size_t size = 0;
  std::vector<unsigned char> der;
  bool signed_ = ctx && EVP_DigestSignInit(ctx, nullptr, EVP_sha256(), nullptr, key_->key) == 1 &&
                 EVP_DigestSign(ctx, nullptr, &size, message.data(), message.size()) == 1;
  if (signed_) {
    der.resize(size);
    signed_ = EVP_DigestSign(ctx, der.data(), &size, message.data(), message.size()) == 1;
  }
  EVP_MD_CTX_free(ctx);
  const unsigned char* at = der.data();
  ECDSA_SIG* sig = signed_ ? d2i_ECDSA_SIG(nullptr, &at, static_cast<long>(size)) : nullptr;
  platform::P256Signature rs{};
  const bool split = sig && BN_bn2binpad(ECDSA_SIG_get0_r(sig), rs.data(), 32) == 32 &&
                     BN_bn2binpad(ECDSA_SIG_get0_s(sig), rs.data() + 32, 32) == 32;
  ECDSA_SIG_free(sig);
  if (!split) throw std::runtime_error("cannot sign with the key");
  return rs;
}

}  // namespace tandrel::admin

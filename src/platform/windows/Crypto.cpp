#include "platform/Crypto.h"

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace tandrel::platform {
namespace {

struct AlgorithmCloser {
  void operator()(BCRYPT_ALG_HANDLE algorithm) const { BCryptCloseAlgorithmProvider(algorithm, 0); }
};
using Algorithm = std::unique_ptr<void, AlgorithmCloser>;

struct KeyDestroyer {
  void operator()(BCRYPT_KEY_HANDLE key) const { BCryptDestroyKey(key); }
};
struct HashDestroyer {
  void operator()(BCRYPT_HASH_HANDLE hash) const { BCryptDestroyHash(hash); }
};

Algorithm OpenAlgorithm(const wchar_t* name, const char* failure) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr, 0))) throw std::runtime_error(failure);
  return Algorithm(algorithm);
}

// BCrypt counts bytes in a ULONG: big inputs go in pieces, whole AES blocks each.
constexpr std::size_t kPiece = std::size_t{1} << 30;

constexpr const char* kNoAes = "AES is not available";

using Key = std::unique_ptr<void, KeyDestroyer>;

// A key takes the chaining mode the algorithm has when the key is made.
Key MakeKey(BCRYPT_ALG_HANDLE algorithm, const wchar_t* chainingMode, const Aes128Key& key) {
  auto* mode = const_cast<wchar_t*>(chainingMode);
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!BCRYPT_SUCCESS(BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(mode),
                                        static_cast<ULONG>((wcslen(mode) + 1) * sizeof(wchar_t)), 0)) ||
      !BCRYPT_SUCCESS(BCryptGenerateSymmetricKey(algorithm, &handle, nullptr, 0, const_cast<PUCHAR>(key.data()),
                                                 static_cast<ULONG>(key.size()), 0))) {
    throw std::runtime_error(kNoAes);
  }
  return Key(handle);
}

// Without padding, every call takes whole blocks and in place is safe.
class BcryptAes128 final : public Aes128 {
 public:
  explicit BcryptAes128(const Aes128Key& key)
      : algorithm_(OpenAlgorithm(BCRYPT_AES_ALGORITHM, kNoAes)),
        ecb_(MakeKey(algorithm_.get(), BCRYPT_CHAIN_MODE_ECB, key)),
        cbc_(MakeKey(algorithm_.get(), BCRYPT_CHAIN_MODE_CBC, key)) {}

  void EncryptBlocks(std::span<const std::uint8_t> input, std::uint8_t* output) override {
    for (std::size_t at = 0; at < input.size(); at += kPiece) {
      const auto size = static_cast<ULONG>(std::min(kPiece, input.size() - at));
      ULONG written = 0;
      if (!BCRYPT_SUCCESS(BCryptEncrypt(ecb_.get(), const_cast<PUCHAR>(input.data() + at), size, nullptr, nullptr, 0,
                                        output + at, size, &written, 0))) {
        throw std::runtime_error(kNoAes);
      }
    }
  }

  void DecryptCbc(std::span<std::uint8_t> blocks, const Aes128Key& iv) override {
    Aes128Key chain = iv;
    for (std::size_t at = 0; at < blocks.size(); at += kPiece) {
      const std::span<std::uint8_t> piece = blocks.subspan(at, std::min(kPiece, blocks.size() - at));
      // The next piece chains from this one's last ciphertext block, which the
      // decryption in place overwrites.
      Aes128Key next;
      std::copy(piece.end() - kAesBlockSize, piece.end(), next.begin());
      const auto size = static_cast<ULONG>(piece.size());
      ULONG written = 0;
      if (!BCRYPT_SUCCESS(BCryptDecrypt(cbc_.get(), piece.data(), size, nullptr, chain.data(),
                                        static_cast<ULONG>(chain.size()), piece.data(), size, &written, 0))) {
        throw std::runtime_error(kNoAes);
      }
      chain = next;
    }
  }

 private:
  Algorithm algorithm_;  // outlives the keys made from it
  Key ecb_;
  Key cbc_;
};

template <std::size_t Size>
class BcryptHash final : public HashStream<Size> {
 public:
  BcryptHash(const wchar_t* algorithm, const char* failure)
      : algorithm_(OpenAlgorithm(algorithm, failure)), failure_(failure) {
    BCRYPT_HASH_HANDLE handle = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm_.get(), &handle, nullptr, 0, nullptr, 0, 0))) {
      throw std::runtime_error(failure_);
    }
    hash_.reset(handle);
  }

  void Update(std::span<const std::uint8_t> bytes) override {
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
      const auto size = static_cast<ULONG>(std::min(kPiece, bytes.size() - at));
      if (!BCRYPT_SUCCESS(BCryptHashData(hash_.get(), const_cast<PUCHAR>(bytes.data() + at), size, 0))) {
        throw std::runtime_error(failure_);
      }
    }
  }

  std::array<std::uint8_t, Size> Finish() override {
    std::array<std::uint8_t, Size> digest{};
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hash_.get(), digest.data(), static_cast<ULONG>(digest.size()), 0))) {
      throw std::runtime_error(failure_);
    }
    return digest;
  }

 private:
  Algorithm algorithm_;
  const char* failure_;
  std::unique_ptr<void, HashDestroyer> hash_;
};

constexpr const char* kNoEcdsa = "ECDSA P-256 is not available";

bool IsBase64Letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// CryptStringToBinaryA skips blanks anywhere and takes text without its padding;
// the box takes only whole groups of four, blanks at the ends aside, with "=" only
// as the padding of the last group.
std::optional<std::string_view> StrictBase64(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && std::string_view(" \t\r\n").find(text.back()) != std::string_view::npos) {
    text.remove_suffix(1);
  }
  if (text.size() % 4 != 0) return std::nullopt;
  std::string_view letters = text;
  for (int pad = 0; pad < 2 && !letters.empty() && letters.back() == '='; ++pad) letters.remove_suffix(1);
  if (!std::all_of(letters.begin(), letters.end(), IsBase64Letter)) return std::nullopt;
  return text;
}

}  // namespace

std::unique_ptr<Aes128> MakeAes128(const Aes128Key& key) { return std::make_unique<BcryptAes128>(key); }

std::unique_ptr<Md5> MakeMd5() {
  return std::make_unique<BcryptHash<16>>(BCRYPT_MD5_ALGORITHM, "MD5 is not available");
}

std::unique_ptr<Sha256> MakeSha256() {
  return std::make_unique<BcryptHash<32>>(BCRYPT_SHA256_ALGORITHM, "SHA-256 is not available");
}

namespace {

// BCrypt takes the point as a public key blob and refuses one off the curve.
std::optional<Key> ImportP256(BCRYPT_ALG_HANDLE algorithm, const P256PublicKey& key) {
  std::array<std::uint8_t, sizeof(BCRYPT_ECCKEY_BLOB) + 64> blob{};
  const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob.data(), &header, sizeof header);
  std::copy(key.begin(), key.end(), blob.begin() + sizeof header);
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob.data(),
                                          static_cast<ULONG>(blob.size()), 0))) {
    return std::nullopt;
  }
  return Key(handle);
}

}  // namespace

bool IsP256Point(const P256PublicKey& key) {
  const Algorithm algorithm = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM, kNoEcdsa);
  return ImportP256(algorithm.get(), key).has_value();
}

// r and s verified against the message's SHA-256 digest.
bool VerifyP256(const P256PublicKey& key, std::span<const std::uint8_t> message, const P256Signature& signature) {
  const Algorithm algorithm = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM, kNoEcdsa);
  const std::optional<Key> imported = ImportP256(algorithm.get(), key);
  if (!imported) return false;
  const auto sha = MakeSha256();
  sha->Update(message);
  Sha256Digest digest = sha->Finish();
  P256Signature rs = signature;
  return BCRYPT_SUCCESS(BCryptVerifySignature(imported->get(), nullptr, digest.data(),
                                              static_cast<ULONG>(digest.size()), rs.data(),
                                              static_cast<ULONG>(rs.size()), 0));
}

std::string Base64Encode(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  constexpr DWORD kFlags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  const auto size = static_cast<DWORD>(bytes.size());
  DWORD length = 0;  // with the terminating NUL
  if (!CryptBinaryToStringA(bytes.data(), size, kFlags, nullptr, &length)) {
    throw std::runtime_error("Base64 is not available");
  }
  std::string encoded(length, '\0');
  if (!CryptBinaryToStringA(bytes.data(), size, kFlags, encoded.data(), &length)) {
    throw std::runtime_error("Base64 is not available");
  }
  encoded.resize(length);  // now without the NUL
  return encoded;
}

std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text) {
  const std::optional<std::string_view> base64 = StrictBase64(text);
  if (!base64) return std::nullopt;
  if (base64->empty()) return std::vector<std::uint8_t>{};
  const auto length = static_cast<DWORD>(base64->size());
  DWORD size = 0;
  if (!CryptStringToBinaryA(base64->data(), length, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(size);
  if (!CryptStringToBinaryA(base64->data(), length, CRYPT_STRING_BASE64, bytes.data(), &size, nullptr, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace tandrel::platform

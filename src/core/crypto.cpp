#include "crypto.h"

#include "FileIo.h"
#include "Hex.h"

#include <memory>
#include <algorithm>
#include <openssl/evp.h>
#include <stdexcept>
#include <vector>

namespace tandrel {
namespace {

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

struct CipherCtxFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

// One pass of an EVP cipher over input into output (which has room for the
// input plus one block). Returns the bytes written.
std::size_t RunCipher(const EVP_CIPHER* cipher, bool encrypt, bool padding, const AesKey& key, const std::uint8_t* iv,
                      std::span<const std::uint8_t> input, std::uint8_t* output) {
  const std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
  int n = 0, tail = 0;
  if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), iv, encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(ctx.get(), padding ? 1 : 0) != 1 ||
      EVP_CipherUpdate(ctx.get(), output, &n, input.data(), static_cast<int>(input.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), output + n, &tail) != 1) {
    throw std::runtime_error("AES is not available");
  }
  return static_cast<std::size_t>(n + tail);
}

}  // namespace

std::string GetFileMd5(const std::string& path) {
  const std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1) {
    throw std::runtime_error("MD5 is not available");
  }
  ReadFileInPieces(path, kDigestBufferSize, [&](const std::uint8_t* data, std::size_t size) {
    EVP_DigestUpdate(ctx.get(), data, size);
  });
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  EVP_DigestFinal_ex(ctx.get(), digest, &length);
  return ToHex(std::span<const std::uint8_t>(digest, length));
}

std::vector<std::uint8_t> DecryptServerList(std::vector<std::uint8_t> body, const AesKey& key, const AesKey& iv) {
  constexpr std::size_t kBlock = 16;
  const std::size_t whole = body.size() / kBlock * kBlock;
  // The tail's register is the last whole ciphertext block, which the in-place
  // decryption of the blocks overwrites: keep it first.
  AesKey tailRegister = iv;
  if (whole > 0) std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(whole - kBlock), kBlock, tailRegister.begin());
  const std::span<std::uint8_t> all(body);
  // Without padding, OpenSSL writes exactly the input's length, so in place is safe.
  if (whole > 0) RunCipher(EVP_aes_128_cbc(), false, false, key, iv.data(), all.first(whole), body.data());
  if (whole < body.size()) {
    RunCipher(EVP_aes_128_cfb8(), false, false, key, tailRegister.data(), all.subspan(whole), body.data() + whole);
  }
  return body;
}

std::vector<std::uint8_t> EncryptServerList(std::span<const std::uint8_t> plain, const AesKey& key, const AesKey& iv) {
  std::vector<std::uint8_t> body(plain.size() + 16);
  body.resize(RunCipher(EVP_aes_128_cbc(), true, true, key, iv.data(), plain, body.data()));
  return body;
}

}  // namespace tandrel

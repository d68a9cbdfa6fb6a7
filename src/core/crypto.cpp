#include "crypto.h"

#include "Hex.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace tandrel {
namespace {

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int error) {
  throw std::runtime_error(std::string(what) + " \"" + path + "\". " + std::strerror(error));
}

struct Fd {
  int fd;
  ~Fd() { ::close(fd); }
};

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

}  // namespace

std::string GetFileMd5(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileError("Cannot open file", path, errno);
  const Fd guard{fd};
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

  const std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1) {
    throw std::runtime_error("MD5 is not available");
  }
  std::vector<unsigned char> buffer(kDigestBufferSize);
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowFileError("Cannot read file", path, errno);
    }
    EVP_DigestUpdate(ctx.get(), buffer.data(), static_cast<std::size_t>(n));
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  EVP_DigestFinal_ex(ctx.get(), digest, &length);
  return ToHex(std::span<const std::uint8_t>(digest, length));
}

}  // namespace tandrel

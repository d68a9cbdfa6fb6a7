#include "FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tandrel {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
  throw std::runtime_error(std::string(what) + " \"" + path.string() + "\". " + std::strerror(error));
}

}  // namespace

void ReadFileInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                      const std::function<void(const std::uint8_t* data, std::size_t size)>& consume) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot open file", path, errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<std::uint8_t> buffer(pieceSize);  // one buffer, reused: constant memory
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n == 0) return;
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read file", path, errno);
    }
    consume(buffer.data(), static_cast<std::size_t>(n));
  }
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  std::error_code unknown;
  if (const auto size = std::filesystem::file_size(path, unknown); !unknown) bytes.reserve(size);
  ReadFileInPieces(path, 64 * 1024, [&](const std::uint8_t* data, std::size_t size) {
    bytes.insert(bytes.end(), data, data + size);
  });
  return bytes;
}

namespace {

// A temporary file beside the target, renamed over it once it is whole and on disk.
class TempFile {
 public:
  TempFile(const std::filesystem::path& target)
      : target_(target), temp_((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()) {
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) Fail("Cannot create file", target_, errno);
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail("Cannot write file", target_, errno);
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }

  void Commit(std::filesystem::perms mode) {
    if (::fchmod(fd_, static_cast<mode_t>(mode)) != 0) Fail("Cannot set the permissions of", target_, errno);
    if (::fsync(fd_) != 0) Fail("Cannot write file", target_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("Cannot write file", target_, errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("Cannot replace file", target_, errno);
    committed_ = true;
  }

 private:
  std::filesystem::path target_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::filesystem::perms mode) {
  TempFile file(path);
  file.Write(bytes.data(), bytes.size());
  file.Commit(mode);
}

void EnsureFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  std::filesystem::create_directories(folder, error);
  if (error) throw std::runtime_error("Cannot create folder \"" + folder.string() + "\". " + error.message());
}

void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::filesystem::perms mode) {
  TempFile file(to);
  ReadFileInPieces(from, 1 << 20, [&](const std::uint8_t* data, std::size_t size) { file.Write(data, size); });
  file.Commit(mode);
}

}  // namespace tandrel
